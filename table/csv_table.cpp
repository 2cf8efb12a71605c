// SPDX-License-Identifier: Apache-2.0
#include "table/csv_table.h"

#include <array>
#include <span>

#include "convert/codepage_text.h"
#include "convert/utf8_sequence.h"

namespace quorvane::table {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::uint16_t kWindowsWesternCodePage = 1252;

// The separator the first line holds most of outside quotes; a comma when it holds none.
char sniffedSeparator(std::string_view text)
{
    constexpr std::array<char, 3> kSeparators{',', ';', '\t'};
    std::array<std::size_t, 3> counts{};
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n' || c == '\r') break;
        for (std::size_t i = 0; i < kSeparators.size(); ++i) counts[i] += c == kSeparators[i];
    }
    std::size_t best = 0;
    for (std::size_t i = 1; i < kSeparators.size(); ++i)
        if (counts[i] > counts[best]) best = i;
    return kSeparators[best];
}

Failure lineFailure(std::size_t line, std::string_view what)
{
    return Failure(FailureKind::Damaged, "line " + std::to_string(line) + ": " + std::string(what));
}

}  // namespace

std::string tableTextOf(std::string_view bytes)
{
    if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
    if (convert::isValidUtf8(bytes)) return std::string(bytes);
    return convert::decodeCodePage(std::as_bytes(std::span(bytes.data(), bytes.size())), kWindowsWesternCodePage);
}

Result<std::vector<CsvRecord>> readCsvRecords(std::string_view text)
{
    const char separator = sniffedSeparator(text);
    std::vector<CsvRecord> records;
    std::size_t line = 1;
    std::size_t position = 0;
    while (position < text.size()) {
        CsvRecord record{line, {}};
        bool recordEnded = false;
        while (!recordEnded) {
            std::string field;
            if (position < text.size() && text[position] == '"') {
                const std::size_t openedOn = line;
                ++position;
                for (;;) {
                    if (position >= text.size()) return lineFailure(openedOn, "a quoted field is not closed");
                    const char c = text[position++];
                    if (c == '"') {
                        if (position >= text.size() || text[position] != '"') break;
                        ++position;  // a doubled quote stands for one
                    }
                    if (c == '\n') ++line;
                    field += c;
                }
                if (position < text.size() && text[position] != separator && text[position] != '\r' && text[position] != '\n')
                    return lineFailure(line, "text after the closing quote of a field");
            } else {
                while (position < text.size() && text[position] != separator && text[position] != '\r' && text[position] != '\n')
                    field += text[position++];
            }
            record.fields.push_back(std::move(field));
            if (position < text.size() && text[position] == separator) {
                ++position;
                continue;
            }
            if (position < text.size() && text[position] == '\r') ++position;
            if (position < text.size() && text[position] == '\n') ++position;
            ++line;
            recordEnded = true;
        }
        const bool emptyLine = record.fields.size() == 1 && record.fields.front().empty();
        if (!emptyLine) records.push_back(std::move(record));
    }
    return records;
}

}  // namespace quorvane::table
