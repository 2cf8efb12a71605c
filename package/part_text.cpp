// SPDX-License-Identifier: Apache-2.0
#include "package/part_text.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace quorvane::package {
namespace {

// The code point of the UTF-8 sequence at `index`, advancing `index` past it; nullopt for a
// sequence that is truncated, overlong, a surrogate or past U+10FFFF (RFC 3629, 4).
std::optional<char32_t> nextCodePoint(std::string_view text, std::size_t& index)
{
    const auto byteAt = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byteAt(index);
    std::size_t length = 0;
    char32_t codePoint = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        ++index;
        return lead;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, codePoint = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, codePoint = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, codePoint = lead & 0x07, smallest = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() - index < length) return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byteAt(index + i);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < smallest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return std::nullopt;
    index += length;
    return codePoint;
}

std::string codePointName(char32_t codePoint)
{
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", unsigned(codePoint));
    return name;
}

Failure refusedText(const std::string& what, std::string_view label)
{
    return {FailureKind::Conversion, "text cannot be stored in a package part: " + what + " in " + std::string(label)};
}

}  // namespace

Failure checkPartText(std::string_view text, std::string_view label)
{
    for (std::size_t index = 0; index < text.size();) {
        const auto codePoint = nextCodePoint(text, index);
        if (!codePoint) return refusedText("invalid UTF-8", label);
        if (*codePoint < 0x20 && *codePoint != '\t' && *codePoint != '\n' && *codePoint != '\r')
            return refusedText("control character " + codePointName(*codePoint), label);
        if (*codePoint == 0xFFFE || *codePoint == 0xFFFF) return refusedText("character " + codePointName(*codePoint), label);
    }
    return {};
}

}  // namespace quorvane::package
