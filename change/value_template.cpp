// SPDX-License-Identifier: Apache-2.0
#include "change/value_template.h"

#include <algorithm>
#include <ctime>

#include "convert/display_text.h"
#include "props/catalogue.h"

namespace quorvane::change {
namespace {

constexpr std::string_view kDefaultDateForm = "%Y-%m-%d %H:%M:%S";
constexpr std::size_t kMaxFormattedDate = 256;

std::string fileNameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A local date-time in the strftime form `form` ("" outside years 1..9999 or when the text would
// pass the bound).
std::string formattedDate(convert::DateTime local, const std::string& form)
{
    const auto fields = convert::decodeDateTimeInRange(local);
    if (!fields) return "";
    std::tm time{};
    time.tm_year = fields->year - 1900;
    time.tm_mon = fields->month - 1;
    time.tm_mday = fields->day;
    time.tm_hour = fields->hour;
    time.tm_min = fields->minute;
    time.tm_sec = fields->second;
    time.tm_isdst = -1;
    std::string text(kMaxFormattedDate, '\0');
    text.resize(std::strftime(text.data(), text.size(), form.empty() ? kDefaultDateForm.data() : form.c_str(), &time));
    return text;
}

Failure fieldFailure(std::string what) { return Failure(FailureKind::Conversion, std::move(what)); }

}  // namespace

Result<ValueTemplate> ValueTemplate::parse(std::string_view text)
{
    ValueTemplate parsed;
    std::string literal;
    for (std::size_t position = 0; position < text.size(); ++position) {
        const char c = text[position];
        if ((c == '{' || c == '}') && position + 1 < text.size() && text[position + 1] == c) {
            literal += c;
            ++position;
            continue;
        }
        if (c == '}') return fieldFailure("'}' without '{' (write }} for a brace)");
        if (c != '{') {
            literal += c;
            continue;
        }
        const auto close = text.find('}', position);
        if (close == std::string_view::npos) return fieldFailure("'{' without '}' (write {{ for a brace)");
        const std::string_view field = text.substr(position + 1, close - position - 1);
        const auto colon = field.find(':');
        const std::string name(field.substr(0, colon));
        const std::string form = colon == std::string_view::npos ? "" : std::string(field.substr(colon + 1));
        Piece piece{Piece::Kind::Literal, form, 0};
        static constexpr std::pair<std::string_view, Piece::Kind> kFileFields[] = {
            {"name", Piece::Kind::Name}, {"filename", Piece::Kind::FileName}, {"folder", Piece::Kind::Folder},
            {"path", Piece::Kind::Path}, {"n", Piece::Kind::Number}};
        for (const auto& [fieldName, kind] : kFileFields)
            if (name == fieldName) piece.kind = kind;
        for (int row = 0; row < props::kRowCount && piece.kind == Piece::Kind::Literal; ++row)
            if (name == props::catalogueRow(row).name) piece = {Piece::Kind::Row, form, row};
        const int fileTimes[] = {props::kCreationTimeLabel, props::kModifyTimeLabel, props::kLastAccessTimeLabel};
        for (const int index : fileTimes)
            if (piece.kind == Piece::Kind::Literal &&
                name == (index == props::kCreationTimeLabel ? std::string("file_created") : std::string(props::fileInfoName(index))))
                piece = {Piece::Kind::FileTime, form, index};
        if (piece.kind == Piece::Kind::Literal) return fieldFailure("unknown field {" + std::string(field) + "}");
        const bool takesForm = piece.kind == Piece::Kind::Number || piece.kind == Piece::Kind::FileTime ||
                               (piece.kind == Piece::Kind::Row && props::isDateTimeRow(piece.index));
        if (!form.empty() && !takesForm) return fieldFailure("{" + std::string(field) + "}: the field takes no form");
        if (piece.kind == Piece::Kind::Number && !form.empty() && (form.size() != 1 || form[0] < '1' || form[0] > '9'))
            return fieldFailure("{" + std::string(field) + "}: the width is not a number from 1 to 9");
        if (!literal.empty()) parsed.pieces_.push_back({Piece::Kind::Literal, std::move(literal), 0});
        literal.clear();
        parsed.pieces_.push_back(std::move(piece));
        position = close;
    }
    if (!literal.empty()) parsed.pieces_.push_back({Piece::Kind::Literal, std::move(literal), 0});
    return parsed;
}

bool ValueTemplate::hasFields() const
{
    return std::any_of(pieces_.begin(), pieces_.end(), [](const Piece& piece) { return piece.kind != Piece::Kind::Literal; });
}

std::string ValueTemplate::resolve(const TemplateFile& file) const
{
    const FileDisplay* current = file.current;
    std::string text;
    for (const Piece& piece : pieces_) {
        switch (piece.kind) {
        case Piece::Kind::Literal: text += piece.text; break;
        case Piece::Kind::Name: {
            const std::string fileName = fileNameOf(file.path);
            const auto dot = fileName.find_last_of('.');
            text += dot == std::string::npos || dot == 0 ? fileName : fileName.substr(0, dot);
            break;
        }
        case Piece::Kind::FileName: text += fileNameOf(file.path); break;
        case Piece::Kind::Folder: {
            const auto slash = file.path.find_last_of('/');
            text += slash == std::string::npos ? "." : fileNameOf(file.path.substr(0, slash));
            break;
        }
        case Piece::Kind::Path: text += file.path; break;
        case Piece::Kind::Number: {
            const std::string number = std::to_string(file.number);
            const std::size_t width = piece.text.empty() ? 0 : std::size_t(piece.text[0] - '0');
            text += std::string(width > number.size() ? width - number.size() : 0, '0') + number;
            break;
        }
        case Piece::Kind::Row: {
            if (!current || !current->rows) break;
            const std::string& shown = (*current->rows)[std::size_t(piece.index)];
            if (!props::isDateTimeRow(piece.index)) {
                text += shown;
            } else if (const auto local = convert::readDisplayText(shown); local && !shown.empty()) {
                text += formattedDate(*local, piece.text);
            }
            break;
        }
        case Piece::Kind::FileTime: {
            if (!current || !current->snapshot) break;
            const fileinfo::FileSnapshot& snapshot = *current->snapshot;
            const convert::FileTime time = piece.index == props::kCreationTimeLabel ? snapshot.creationTime
                                         : piece.index == props::kModifyTimeLabel   ? snapshot.lastWriteTime
                                                                                    : snapshot.lastAccessTime;
            text += formattedDate(convert::FileTimeToDateTime(time), piece.text);
            break;
        }
        }
    }
    return text;
}

}  // namespace quorvane::change
