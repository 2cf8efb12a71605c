// SPDX-License-Identifier: Apache-2.0
#include "cli/csv_output.h"

#include "cli/output_text.h"

namespace quorvane::cli {
namespace {

bool startsFormula(char c) { return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r'; }

}  // namespace

std::string csvLineForOutput(std::string_view line, bool safeFormulas)
{
    std::string text = validUtf8(line);
    if (!safeFormulas) return text;
    std::string out;
    out.reserve(text.size() + 8);
    bool insideQuotes = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        out += c;
        if (c != '"') continue;
        if (insideQuotes && i + 1 < text.size() && text[i + 1] == '"') {
            out += text[++i];  // a doubled quote inside a value
            continue;
        }
        insideQuotes = !insideQuotes;
        // An opening quote: the value's first character follows it.
        if (insideQuotes && i + 1 < text.size() && startsFormula(text[i + 1])) out += '\'';
    }
    return out;
}

std::size_t csvFieldCount(std::string_view line)
{
    std::size_t count = 1;
    bool insideQuotes = false;  // a doubled quote inside a value toggles twice
    for (const char c : line) {
        if (c == '"') insideQuotes = !insideQuotes;
        else if (c == ',' && !insideQuotes) ++count;
    }
    return count;
}

std::string withFieldCount(std::string line, std::size_t fieldCount)
{
    std::size_t count = csvFieldCount(line);
    if (count >= fieldCount) return line;
    if (line.ends_with(',')) line += "\"\"";
    for (; count < fieldCount; ++count) line += ",\"\"";
    return line;
}

}  // namespace quorvane::cli
