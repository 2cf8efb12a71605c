// SPDX-License-Identifier: Apache-2.0
// The attribute word of a file: 32 bits with the Windows values, so that everything above the
// file layer reads and writes the same bits on every platform. The four bits below are the ones
// the program shows and changes; every other bit passes through unchanged.
#pragma once

#include <cstdint>

namespace quorvane::fileinfo {

using AttributeWord = std::uint32_t;

inline constexpr AttributeWord kReadOnly = 0x01;
inline constexpr AttributeWord kHidden = 0x02;
inline constexpr AttributeWord kSystem = 0x04;
inline constexpr AttributeWord kArchive = 0x20;

}  // namespace quorvane::fileinfo
