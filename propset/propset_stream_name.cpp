// SPDX-License-Identifier: Apache-2.0
#include "propset/propset_stream_name.h"

namespace quorvane::propset {
namespace {

constexpr props::Fmtid kUserDefinedProperties{0xD5CDD505, 0x2E9C, 0x101B, {0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE}};

}  // namespace

std::u16string propertySetStreamName(const props::Fmtid& fmtid)
{
    if (fmtid == props::fmtidOfSelector(props::kSummaryInformation)) return u"\x05SummaryInformation";
    if (fmtid == props::fmtidOfSelector(props::kDocumentSummaryInformation) || fmtid == kUserDefinedProperties)
        return u"\x05" u"DocumentSummaryInformation";
    // The 16 bytes as one 128-bit little-endian number, 5 bits at a time from the low end:
    // 0-25 are 'a'-'z', 26-31 are '0'-'5'; the 26th character carries the last 3 bits.
    const auto bytes = fmtid.toBytes();
    std::u16string name = u"\x05";
    for (int character = 0; character < 26; ++character) {
        unsigned value = 0;
        for (int bit = 0; bit < 5; ++bit) {
            const int index = character * 5 + bit;
            if (index < 128 && (bytes[std::size_t(index / 8)] >> (index % 8)) & 1) value |= 1u << bit;
        }
        name += value < 26 ? char16_t(u'a' + value) : char16_t(u'0' + value - 26);
    }
    return name;
}

}  // namespace quorvane::propset
