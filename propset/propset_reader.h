// SPDX-License-Identifier: Apache-2.0
// Parsing of property-set streams ([MS-OLEPS] 2.20-2.21: PropertySetStream, PropertySet):
// the header, the section list and each section's property table, every count and offset
// checked against the bytes that hold it. Values are handed out as typed raw bytes; their
// conversion to text is in property_value_text.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "base/failure.h"
#include "propset/property_value_text.h"

namespace quorvane::propset {

// Longest property-set stream that is read at all; longer ones count as unreadable.
inline constexpr std::uint64_t kMaxPropertySetStreamBytes = 16u << 20;

inline constexpr std::uint32_t kPidDictionary = 0;
inline constexpr std::uint32_t kPidCodePage = 1;

struct PropertyEntry {
    std::uint32_t id;
    std::uint32_t offset;  // from the start of the section
};

struct Section {
    std::array<std::uint8_t, 16> fmtid{};
    std::uint32_t offset = 0;       // from the start of the stream
    std::uint32_t declaredSize = 0; // the section's own size field
    std::uint32_t size = 0;         // the part of it that lies inside the stream
    std::uint32_t declaredCount = 0;     // the section's property count field
    std::vector<PropertyEntry> entries;  // in table order; empty when the count does not fit
};

struct PropertySetLayout {
    std::uint16_t version = 0;
    std::vector<Section> sections;  // in section-list order
};

// The layout of a property-set stream. nullopt when the stream is shorter than its header,
// the byte order is not 0xFFFE, or the section list does not fit. A section whose offset lies
// outside the stream, or whose table does not fit in it, gets no entries; a size field
// reaching past the stream is cut to the stream's end.
std::optional<PropertySetLayout> parsePropertySet(std::span<const std::byte> stream);

// The layout of a property-set stream that a read or a write may trust: parsePropertySet's, with
// its first section (when it has one) whole inside the stream, its property table inside the
// section, every value offset past the table and inside the section, no value shared by two
// property ids, and no other section starting inside it. A section that breaks any of these
// would be read as wrong values (the code page read as the title) or as none, so readers and
// writers refuse it alike. The failure otherwise, "damaged property set: <what>" (Damaged).
Result<PropertySetLayout> parseSoundPropertySet(std::span<const std::byte> stream);

// Bytes [offset, end) of a property's value inside its section: up to the next higher offset
// of the table, or to the section's end. nullopt when the offset is not inside the section
// past its table.
std::optional<std::pair<std::uint32_t, std::uint32_t>> valueExtent(const Section& section, std::size_t entryIndex);

// The value of property `id` in `section` (its first table entry), decoded as a typed value
// that carries the section's code page. nullopt when the property is absent or its bytes lie
// outside the section.
std::optional<PropertyValue> readProperty(std::span<const std::byte> stream, const Section& section, std::uint32_t id);

// The section's code page (property 1 as an unsigned 16-bit VT_I2), or nullopt when it
// declares none.
std::optional<std::uint16_t> declaredCodePage(std::span<const std::byte> stream, const Section& section);

}  // namespace quorvane::propset
