// SPDX-License-Identifier: Apache-2.0
// Text in the code page a property set declares ([MS-OLEPS] 2.5 CodePageString, 2.18.2
// PROPERTYIDENTIFIER 0x00000001), converted to and from the core's UTF-8 with iconv, and code
// page 1252 by a table of its own (convert/windows_1252.h). Code page 1200 is UTF-16LE.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::convert {

inline constexpr std::uint16_t kCodePageUtf16 = 1200;
inline constexpr std::uint16_t kCodePageWindowsLatin1 = 1252;

// The UTF-8 text of `bytes` in `codePage`, one character per byte of a single-byte page. Bytes
// that do not decode become U+FFFD, except a byte 0x80..0x9F that a Windows ANSI page (874,
// 1250..1258) leaves unassigned: it becomes the C1 control of its number and encodes back to
// itself, as in Windows. A code page iconv does not know is read as 1252. Never fails.
std::string decodeCodePage(std::span<const std::byte> bytes, std::uint16_t codePage);

// `utf8` encoded in `codePage`, without a terminator. nullopt when a character has no mapping
// in that page, the text is not valid UTF-8, or iconv does not know the page: storing '?' in
// place of a character would lose data silently.
std::optional<std::vector<std::byte>> encodeCodePage(std::string_view utf8, std::uint16_t codePage);

}  // namespace quorvane::convert
