// SPDX-License-Identifier: Apache-2.0
// A property value as stored in a property set ([MS-OLEPS] 2.15 TypedPropertyValue), and its
// conversion to the text the program shows: PropertyValueToText for every row, and
// EditTimeValueToText for the total editing time, whose VT_FILETIME is a span.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "props/catalogue.h"

namespace quorvane::propset {

// Property-variant type codes ([MS-OLEPS] 2.15) besides kVtLpstr and kVtFiletime.
inline constexpr std::uint16_t kVtEmpty = 0;
inline constexpr std::uint16_t kVtNull = 1;
inline constexpr std::uint16_t kVtI2 = 2;
inline constexpr std::uint16_t kVtI4 = 3;
inline constexpr std::uint16_t kVtR4 = 4;
inline constexpr std::uint16_t kVtR8 = 5;
inline constexpr std::uint16_t kVtBstr = 8;
inline constexpr std::uint16_t kVtError = 10;
inline constexpr std::uint16_t kVtBool = 11;
inline constexpr std::uint16_t kVtUi1 = 17;
inline constexpr std::uint16_t kVtUi2 = 18;
inline constexpr std::uint16_t kVtUi4 = 19;
inline constexpr std::uint16_t kVtI8 = 20;
inline constexpr std::uint16_t kVtUi8 = 21;
inline constexpr std::uint16_t kVtInt = 22;
inline constexpr std::uint16_t kVtUint = 23;
inline constexpr std::uint16_t kVtLpwstr = 31;
inline constexpr std::uint16_t kVtClsid = 72;

struct PropertyValue {
    std::uint16_t type = kVtEmpty;
    std::vector<std::byte> data;      // the bytes after the 4-byte type, to the end of the value's span
    std::uint16_t codePage = 1252;    // of the section, for VT_LPSTR and VT_BSTR
};

// The text of a value: numbers in decimal, booleans "Yes"/"No", VT_ERROR "Error code: N",
// strings decoded to UTF-8 up to their first NUL, VT_FILETIME as local date-time display text
// (the FILETIME 0, "no date", as empty text), VT_CLSID in registry form; empty text for
// VT_EMPTY, VT_NULL, every other type, and values whose bytes are cut short.
std::string PropertyValueToText(const PropertyValue& value);

// As PropertyValueToText, except that a VT_FILETIME is a signed span of 100-ns units given
// as whole minutes (rounded half to even).
std::string EditTimeValueToText(const PropertyValue& value);

}  // namespace quorvane::propset
