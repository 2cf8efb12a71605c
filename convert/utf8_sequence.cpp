// SPDX-License-Identifier: Apache-2.0
#include "convert/utf8_sequence.h"

namespace quorvane::convert {

std::size_t validSequenceLength(std::string_view bytes, char32_t& codePoint)
{
    if (bytes.empty()) return 0;
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

}  // namespace quorvane::convert
