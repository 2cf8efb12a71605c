// SPDX-License-Identifier: Apache-2.0
#include "cli/output_text.h"

#include <cstdio>

#include "convert/utf8_sequence.h"

namespace quorvane::cli {
namespace {

using convert::validSequenceLength;

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD

std::string hexEscape(const char* form, unsigned value)
{
    char escape[8];
    std::snprintf(escape, sizeof escape, form, value);
    return escape;
}

}  // namespace

std::string validUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    char32_t codePoint = 0;
    while (!bytes.empty()) {
        const std::size_t length = validSequenceLength(bytes, codePoint);
        out += length ? bytes.substr(0, length) : kReplacementCharacter;
        bytes.remove_prefix(length ? length : 1);
    }
    return out;
}

std::string hexOfBytes(std::string_view bytes)
{
    std::string out;
    for (const char byte : bytes) out += hexEscape("%02x", static_cast<unsigned char>(byte));
    return out;
}

std::string escapedForLine(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    char32_t codePoint = 0;
    while (!text.empty()) {
        const std::size_t length = validSequenceLength(text, codePoint);
        if (length == 0) {
            out += hexEscape("\\x%02x", static_cast<unsigned char>(text.front()));
            text.remove_prefix(1);
            continue;
        }
        switch (codePoint) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default:
            if (codePoint < 0x20 || codePoint == 0x7F) out += hexEscape("\\x%02x", unsigned(codePoint));
            else if (codePoint >= 0x80 && codePoint <= 0x9F) out += hexEscape("\\u%04x", unsigned(codePoint));
            else out += text.substr(0, length);
        }
        text.remove_prefix(length);
    }
    return out;
}

}  // namespace quorvane::cli
