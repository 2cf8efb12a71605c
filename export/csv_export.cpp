// SPDX-License-Identifier: Apache-2.0
#include "export/csv_export.h"

#include "change/file_display.h"
#include "fileinfo/snapshot_display.h"
#include "props/catalogue.h"
#include "base/temp_file.h"

namespace quorvane::exporting {
namespace {

std::string fileNameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void appendFields(std::string& line, const auto& texts)
{
    for (const std::string& text : texts) line += csvField(text) + ',';
}

}  // namespace

std::string csvField(std::string_view value)
{
    std::string field = "\"";
    for (char c : value) {
        if (c == '"') field += '"';
        field += c;
    }
    return field + '"';
}

void WriteCsvHeader(ExportList& lines)
{
    std::string header = csvField("File full name") + ',' + csvField("File Name") + ',';
    for (int row = 0; row < props::kRowCount; ++row) header += csvField(props::catalogueRow(row).label) + ',';
    for (int index = 0; index < props::kFileInfoLabelCount; ++index) {
        if (index > 0) header += ',';
        header += csvField(props::fileInfoLabel(index));
    }
    lines.push_back(std::move(header));
}

bool AppendCsvLine(const std::string& path, ExportList& lines)
{
    return !appendFileLine(path, lines).failed();
}

Failure appendFileLine(const std::string& path, ExportList& lines,
                       std::optional<std::vector<props::CustomProperty>>* customOfLine)
{
    // Read as the display reads a file: snapshot and rows, nothing written.
    return appendDisplayLine(path, change::ReadFileForDisplay(path, /*withCustom=*/customOfLine != nullptr), lines,
                             customOfLine);
}

Failure appendDisplayLine(const std::string& path, const change::FileDisplay& read, ExportList& lines,
                          std::optional<std::vector<props::CustomProperty>>* customOfLine, DateForm dateForm)
{
    std::string line = csvField(path) + ',' + csvField(fileNameOf(path)) + ',';
    // An unreadable package (a part that is not well-formed XML included) gives no rows and so
    // no line.
    if (!read.snapshot) {
        lines.push_back(std::move(line));
        return read.snapshotFailure;
    }
    // A compound document that cannot be read still gives its line, with empty property fields.
    if (read.rows) {
        props::RowTexts rows = *read.rows;
        for (int row = 0; row < props::kRowCount; ++row)
            if (props::isDateTimeRow(row)) rows[std::size_t(row)] = dateTextInForm(rows[std::size_t(row)], dateForm);
        auto fileInfo = fileinfo::fileInfoTexts(*read.snapshot);
        for (int index = props::kCreationTimeLabel; index <= props::kLastAccessTimeLabel; ++index)
            fileInfo[std::size_t(index)] = dateTextInForm(fileInfo[std::size_t(index)], dateForm);
        appendFields(line, rows);
        appendFields(line, fileInfo);
        line.pop_back();  // no comma after the last field
        lines.push_back(std::move(line));
        if (customOfLine) *customOfLine = customInForm(read.custom, dateForm);
    }
    return read.failure;
}

Failure saveExportList(const std::string& target, const ExportList& lines, const TargetWrapper& wrapTarget)
{
    const auto writeLines = [&lines](RandomAccessFile& file) {
        std::uint64_t offset = 0;
        for (const std::string& line : lines) {
            const std::string text = line + "\r\n";
            if (!file.writeAt(offset, std::as_bytes(std::span(text.data(), text.size())))) return false;
            offset += text.size();
        }
        return true;
    };
    return replaceWholeFileContents(target, writeLines, wrapTarget);
}

}  // namespace quorvane::exporting
