// SPDX-License-Identifier: Apache-2.0
// Values made from templates, one per file: text with fields in braces that a batch fills in from
// each file, so that one change gives every file its own value ("{name}" gives each deck its file
// name). {{ and }} stand for literal braces. Fields:
//   {name}      the file name without its extension   {filename}  the file name
//   {folder}    the name of the file's folder          {path}      the path as given
//   {n}, {n:3}  the file's number in the run (from 1), zero-padded to the width given
//   a row's machine name ({title}, {author}, {last_saved}, ...): the file's current value; a date
//               row as YYYY-MM-DD HH:MM:SS, or in the strftime(3) form given ({created:%Y})
//   {file_created}, {modified}, {accessed}: the file's times, in the same forms
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/failure.h"
#include "change/file_display.h"

namespace quorvane::change {

// What a template is filled from: one file of a run.
struct TemplateFile {
    std::string path;                // as the run names it
    std::size_t number = 1;          // its place in the run, from 1
    const FileDisplay* current = nullptr;  // its values as read; nullptr or a failed read give "" for them
};

class ValueTemplate {
public:
    // The template of `text`, or the failure (Conversion): "unknown field {titel}", "'{' without
    // '}'", "'}' without '{'", "{n:x}: the width is not a number from 1 to 9", "{name:...}: the
    // field takes no form".
    static Result<ValueTemplate> parse(std::string_view text);

    // The text for `file`: literal text as it stands, each field filled in ("" for a value the
    // file does not hold or whose read failed).
    std::string resolve(const TemplateFile& file) const;

    // Whether the template names any field (a text without one needs no file read).
    bool hasFields() const;

private:
    struct Piece {
        enum class Kind { Literal, Name, FileName, Folder, Path, Number, Row, FileTime } kind;
        std::string text;  // the literal, or the form given after ':'
        int index = 0;     // the row, or the file-time label index
    };
    std::vector<Piece> pieces_;
};

}  // namespace quorvane::change
