// SPDX-License-Identifier: Apache-2.0
// The CSV export of files' values (RFC 4180 quoting): a header of 23 titles, then per file its
// full path, file name, 14 property texts, three times and four attribute flags. Every field is
// quoted with any double quote inside doubled; every line ends in CR LF; the text is UTF-8
// without a byte-order mark. Reading a file for its line leaves its times and attributes as
// they were.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/failure.h"
#include "base/temp_file.h"
#include "change/file_display.h"
#include "export/date_form.h"
#include "props/custom_property.h"

namespace quorvane::exporting {

// The lines gathered by an export, without their line ends.
using ExportList = std::vector<std::string>;

// `value` between double quotes, with each double quote inside doubled.
std::string csvField(std::string_view value);

// Adds the header line: "File full name", "File Name", the 14 row labels, the seven file-time
// and attribute labels.
void WriteCsvHeader(ExportList& lines);

// Adds the line of the file at `path` and puts the file's times and attributes back. A file that
// is missing or whose attributes cannot be read gives a short line (its two names, each followed
// by a comma); a package that cannot be read as one (or whose parts are not well-formed XML)
// gives no line at all; a compound document that cannot be read gives empty property fields.
// True only when a full line was added.
bool AppendCsvLine(const std::string& path, ExportList& lines);
// AppendCsvLine with the reason: Failure{} when a full line was added.
// When a full line was added and `customOfLine` is given, it receives the file's custom
// properties as the same read found them (for custom_columns.h; empty when it has none or they
// cannot be read); it is left as it was otherwise.
Failure appendFileLine(const std::string& path, ExportList& lines,
                       std::optional<std::vector<props::CustomProperty>>* customOfLine = nullptr);

// appendFileLine for a file `path` already read by change::ReadFileForDisplay (with the custom
// properties when `customOfLine` is given): adds the same line and gives the same result. The
// dates of the rows, the times and the custom dates are written in `dateForm`.
Failure appendDisplayLine(const std::string& path, const change::FileDisplay& read, ExportList& lines,
                          std::optional<std::vector<props::CustomProperty>>* customOfLine = nullptr,
                          DateForm dateForm = DateForm::Display);

// Replaces the file `target` with the lines, each followed by CR LF. Failure{} when the new file
// is complete and in place; else the system's reason for the step that failed, and any earlier
// file of that name is as it was. `wrapTarget` is for fault tests.
Failure saveExportList(const std::string& target, const ExportList& lines, const TargetWrapper& wrapTarget = {});

}  // namespace quorvane::exporting
