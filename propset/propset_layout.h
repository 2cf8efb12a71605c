// SPDX-License-Identifier: Apache-2.0
// The fixed parts of a property-set stream ([MS-OLEPS] 2.20 PropertySetStream, 2.21
// PropertySet), named once for the reader (propset_reader.cpp) and the writer
// (propset_writer.cpp): the 28-byte stream header, the 20-byte FMTID/offset pair of each section
// in the list after it, a section's 8-byte header and its 8-byte id/offset pairs. Little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorvane::propset {

// [MS-OLEPS] 2.20: ByteOrder (2), Version (2), SystemIdentifier (4), CLSID (16),
// NumPropertySets (4).
inline constexpr std::uint16_t kPropertySetByteOrder = 0xFFFE;
inline constexpr std::size_t kClsidSize = 16;
inline constexpr std::size_t kStreamHeaderSize = 2 + 2 + 4 + kClsidSize + 4;  // 28
static_assert(kStreamHeaderSize == 28);

// Each section of the list: FMTID (16), then Offset (4) from the start of the stream.
inline constexpr std::size_t kFmtidSize = 16;
inline constexpr std::size_t kSectionListEntrySize = kFmtidSize + 4;  // 20
inline constexpr std::size_t kSectionOffsetInListEntry = kFmtidSize;

// Where section `index`'s FMTID/offset pair starts in the stream.
constexpr std::size_t sectionListEntryOffset(std::size_t index) { return kStreamHeaderSize + kSectionListEntrySize * index; }

// [MS-OLEPS] 2.21: a section starts with Size (4) and NumProperties (4), then one
// PropertyIdentifierAndOffset (id 4, offset 4 from the section's start) per property.
inline constexpr std::size_t kSectionHeaderSize = 8;
inline constexpr std::size_t kPropertyTableEntrySize = 8;

// Where the values of a section with `propertyCount` table entries may start.
constexpr std::uint64_t propertyTableEnd(std::uint64_t propertyCount)
{
    return kSectionHeaderSize + kPropertyTableEntrySize * propertyCount;
}

}  // namespace quorvane::propset
