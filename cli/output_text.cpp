#include "cli/output_text.h"

#include <cstdio>

namespace quorvane::cli {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD

// The length of the valid UTF-8 sequence at the start of `bytes` (RFC 3629, section 4), 0 when
// there is none; `codePoint` gets its value.
std::size_t validSequenceLength(std::string_view bytes, char32_t& codePoint)
{
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byteAt(0);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2, minimum = 0x80, codePoint = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF) length = 3, minimum = 0x800, codePoint = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4) length = 4, minimum = 0x10000, codePoint = lead & 0x07;
    else return 0;
    if (bytes.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byteAt(i) & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (byteAt(i) & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint < minimum || surrogate || codePoint > 0x10FFFF ? 0 : length;
}

std::string hexEscape(const char* form, unsigned value)
{
    char escape[8];
    std::snprintf(escape, sizeof escape, form, value);
    return escape;
}

}  // namespace

bool isValidUtf8(std::string_view bytes)
{
    char32_t codePoint = 0;
    while (!bytes.empty()) {
        const std::size_t length = validSequenceLength(bytes, codePoint);
        if (length == 0) return false;
        bytes.remove_prefix(length);
    }
    return true;
}

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
