// SPDX-License-Identifier: Apache-2.0
// Text in Windows code page 1252, the page of nearly every property set, converted by a table of
// its own: the conversion of every other page goes through iconv, whose module a process would
// otherwise load and unload again for each value it reads or writes.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::convert {

// The UTF-8 text of `bytes`: 0x00..0x7F and 0xA0..0xFF are the code points of their number;
// 0x80..0x9F are the page's characters, and the five it leaves unassigned (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) are the C1 controls of their number, as in Windows' own table.
std::string decodeWindows1252(std::span<const std::byte> bytes);

// `utf8` in code page 1252; nullopt when it is not valid UTF-8 or holds a character the page has
// no byte for.
std::optional<std::vector<std::byte>> encodeWindows1252(std::string_view utf8);

}  // namespace quorvane::convert
