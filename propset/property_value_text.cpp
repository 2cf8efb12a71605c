// SPDX-License-Identifier: Apache-2.0
#include "propset/property_value_text.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <span>

#include "base/byte_reader.h"
#include "convert/codepage_text.h"
#include "convert/date_time.h"
#include "convert/display_text.h"
#include "convert/minutes_text.h"

namespace quorvane::propset {
namespace {

// [MS-OLEPS] 2.5 CodePageString: a byte count with the NUL, then the bytes. The text ends
// at the first NUL (a 16-bit one in code page 1200); a count past the value's bytes is cut.
std::string codePageStringText(ByteReader& r, std::uint16_t codePage)
{
    const std::uint32_t count = r.u32();
    const auto bytes = r.bytes(std::min<std::size_t>(count, r.remaining()));
    const std::size_t unit = codePage == convert::kCodePageUtf16 ? 2 : 1;
    std::size_t length = 0;
    while (length + unit <= bytes.size()) {
        bool zero = true;
        for (std::size_t i = 0; i < unit; ++i) zero = zero && bytes[length + i] == std::byte{0};
        if (zero) break;
        length += unit;
    }
    return convert::decodeCodePage(bytes.first(length), codePage);
}

// [MS-OLEPS] 2.7 UnicodeString: a count of 16-bit characters with the NUL, then UTF-16LE.
std::string unicodeStringText(ByteReader& r)
{
    const std::uint32_t characters = r.u32();
    const auto bytes = r.bytes(std::min<std::size_t>(std::size_t(characters) * 2, r.remaining() & ~std::size_t(1)));
    std::size_t length = 0;
    while (length + 2 <= bytes.size() && (bytes[length] != std::byte{0} || bytes[length + 1] != std::byte{0})) length += 2;
    return convert::decodeCodePage(bytes.first(length), convert::kCodePageUtf16);
}

// General floating-point form with at most 15 significant digits: fixed notation unless the
// exponent is below -5 or reaches 15, the exponent written as "E" and its digits.
std::string floatText(double value)
{
    if (!std::isfinite(value)) return std::isnan(value) ? "NAN" : value > 0 ? "INF" : "-INF";
    char buffer[64];
    const int exponent = value == 0 ? 0 : int(std::floor(std::log10(std::fabs(value))));
    if (exponent < -5 || exponent >= 15) {
        std::snprintf(buffer, sizeof buffer, "%.14E", value);
        std::string text(buffer);
        const auto e = text.find('E');
        std::string mantissa = text.substr(0, e);
        if (mantissa.find_first_of(".,") != std::string::npos) {
            mantissa.erase(mantissa.find_last_not_of('0') + 1);
            if (mantissa.back() == '.' || mantissa.back() == ',') mantissa.pop_back();
        }
        const int exp = std::stoi(text.substr(e + 1));
        text = mantissa + "E" + std::to_string(exp);
        return text;
    }
    std::snprintf(buffer, sizeof buffer, "%.*f", std::max(0, 14 - exponent), value);
    std::string text(buffer);
    // snprintf writes the decimal separator of the process locale (LC_NUMERIC).
    if (text.find_first_of(".,") != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.' || text.back() == ',') text.pop_back();
    }
    return text;
}

std::string clsidText(ByteReader& r)
{
    const std::uint32_t data1 = r.u32();
    const std::uint16_t data2 = r.u16();
    const std::uint16_t data3 = r.u16();
    const auto data4 = r.bytes(8);
    if (!r.ok()) return {};
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", data1, data2, data3,
                  unsigned(data4[0]), unsigned(data4[1]), unsigned(data4[2]), unsigned(data4[3]), unsigned(data4[4]),
                  unsigned(data4[5]), unsigned(data4[6]), unsigned(data4[7]));
    return buffer;
}

// Every type but VT_FILETIME, which the two public functions read differently.
std::string nonTimeText(const PropertyValue& value, ByteReader& r)
{
    std::string text;
    switch (value.type) {
    case kVtI2: text = std::to_string(std::int16_t(r.u16())); break;
    case kVtI4:
    case kVtInt: text = std::to_string(std::int32_t(r.u32())); break;
    case kVtR4: text = floatText(std::bit_cast<float>(r.u32())); break;
    case kVtR8: text = floatText(std::bit_cast<double>(r.u64())); break;
    case kVtBstr:
    case props::kVtLpstr: return codePageStringText(r, value.codePage);
    case kVtLpwstr: return unicodeStringText(r);
    case kVtError: text = "Error code: " + std::to_string(std::int32_t(r.u32())); break;
    case kVtBool: text = r.u16() != 0 ? "Yes" : "No"; break;
    case kVtUi1: text = std::to_string(r.u8()); break;
    case kVtUi2: text = std::to_string(r.u16()); break;
    case kVtUi4:
    case kVtUint: text = std::to_string(r.u32()); break;
    case kVtI8:
    case kVtUi8: text = std::to_string(std::int64_t(r.u64())); break;
    case kVtClsid: return clsidText(r);
    default: return {};
    }
    return r.ok() ? text : std::string();
}

}  // namespace

std::string PropertyValueToText(const PropertyValue& value)
{
    ByteReader r(value.data);
    if (value.type != props::kVtFiletime) return nonTimeText(value, r);
    const convert::FileTime fileTime = r.u64();
    // FILETIME 0 is how writers store "no date"; it is not shown as 1601-01-01.
    if (!r.ok() || fileTime == 0) return {};
    return convert::DateTimeToDisplayText(convert::FileTimeToDateTime(fileTime));
}

std::string EditTimeValueToText(const PropertyValue& value)
{
    ByteReader r(value.data);
    if (value.type != props::kVtFiletime) return nonTimeText(value, r);
    const std::int64_t span100ns = std::int64_t(r.u64());
    return r.ok() ? convert::FileTimeSpanToMinutesText(span100ns) : "0";
}

}  // namespace quorvane::propset
