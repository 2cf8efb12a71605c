// SPDX-License-Identifier: Apache-2.0
#include "convert/windows_1252.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "convert/utf8_sequence.h"

namespace quorvane::convert {
namespace {

// The characters of bytes 0x80..0x9F (the WHATWG Encoding Standard's index windows-1252).
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t codePoint)
{
    if (codePoint < 0x80) {
        out += char(codePoint);
    } else if (codePoint < 0x800) {
        out += char(0xC0 | (codePoint >> 6));
        out += char(0x80 | (codePoint & 0x3F));
    } else {
        out += char(0xE0 | (codePoint >> 12));
        out += char(0x80 | ((codePoint >> 6) & 0x3F));
        out += char(0x80 | (codePoint & 0x3F));
    }
}

std::optional<std::byte> byteOf(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return std::byte(codePoint);
    const auto found = std::find(kHighControls.begin(), kHighControls.end(), codePoint);
    if (found == kHighControls.end()) return std::nullopt;
    return std::byte(0x80 + (found - kHighControls.begin()));
}

}  // namespace

std::string decodeWindows1252(std::span<const std::byte> bytes)
{
    std::string utf8;
    utf8.reserve(bytes.size());
    for (const std::byte byte : bytes) {
        const auto value = std::uint8_t(byte);
        appendUtf8(utf8, value >= 0x80 && value <= 0x9F ? kHighControls[value - 0x80] : char32_t(value));
    }
    return utf8;
}

std::optional<std::vector<std::byte>> encodeWindows1252(std::string_view utf8)
{
    std::vector<std::byte> encoded;
    encoded.reserve(utf8.size());
    while (!utf8.empty()) {
        char32_t codePoint = 0;
        const std::size_t length = validSequenceLength(utf8, codePoint);
        if (length == 0) return std::nullopt;
        const std::optional<std::byte> byte = byteOf(codePoint);
        if (!byte) return std::nullopt;
        encoded.push_back(*byte);
        utf8.remove_prefix(length);
    }
    return encoded;
}

}  // namespace quorvane::convert
