// SPDX-License-Identifier: Apache-2.0
#include "propset/propset_reader.h"

#include <algorithm>
#include <map>
#include <string>
#include <string_view>

#include "base/byte_reader.h"
#include "convert/codepage_text.h"
#include "propset/propset_layout.h"

namespace quorvane::propset {
namespace {

void parseTable(std::span<const std::byte> stream, Section& section)
{
    if (section.offset > stream.size() || stream.size() - section.offset < kSectionHeaderSize) return;
    ByteReader r(stream.subspan(section.offset));
    section.declaredSize = r.u32();
    const std::uint32_t count = r.u32();
    section.declaredCount = count;
    section.size = std::uint32_t(std::min<std::uint64_t>(section.declaredSize, stream.size() - section.offset));
    if (section.size < kSectionHeaderSize || count > (section.size - kSectionHeaderSize) / kPropertyTableEntrySize) return;
    section.entries.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t id = r.u32();
        const std::uint32_t offset = r.u32();
        section.entries.push_back({id, offset});
    }
}

}  // namespace

std::optional<PropertySetLayout> parsePropertySet(std::span<const std::byte> stream)
{
    ByteReader r(stream);
    const std::uint16_t byteOrder = r.u16();
    PropertySetLayout layout;
    layout.version = r.u16();
    r.skip(4 + kClsidSize);  // system identifier, CLSID
    const std::uint32_t sectionCount = r.u32();
    if (!r.ok() || byteOrder != kPropertySetByteOrder || sectionCount > r.remaining() / kSectionListEntrySize)
        return std::nullopt;
    for (std::uint32_t i = 0; i < sectionCount; ++i) {
        Section section;
        for (auto& byte : section.fmtid) byte = r.u8();
        section.offset = r.u32();
        layout.sections.push_back(section);
    }
    for (Section& section : layout.sections) parseTable(stream, section);
    return layout;
}

Result<PropertySetLayout> parseSoundPropertySet(std::span<const std::byte> stream)
{
    const auto damagedSet = [](std::string_view what) { return damaged("property set: " + std::string(what)); };
    auto layout = parsePropertySet(stream);
    if (!layout) return damagedSet("its header or section list is broken");
    if (layout->sections.empty()) return std::move(*layout);
    const Section& first = layout->sections.front();
    if (first.offset > stream.size() || stream.size() - first.offset < kSectionHeaderSize || first.size != first.declaredSize)
        return damagedSet("its first section runs past the end of the stream");
    const std::uint64_t tableEnd = propertyTableEnd(first.entries.size());
    if (first.entries.size() != first.declaredCount || first.size < tableEnd)
        return damagedSet("the property table of its first section runs past the section");
    std::map<std::uint32_t, std::uint32_t> idAtOffset;
    for (const PropertyEntry& entry : first.entries) {
        if (entry.offset < tableEnd || entry.offset >= first.size)
            return damagedSet("a value offset of its first section lies outside the section's values");
        // A table may list an id twice; two ids at one offset would read one value as both.
        if (const auto [at, added] = idAtOffset.try_emplace(entry.offset, entry.id); !added && at->second != entry.id)
            return damagedSet("two properties of its first section share one value");
    }
    const std::uint64_t firstEnd = std::uint64_t(first.offset) + first.size;
    for (std::size_t i = 1; i < layout->sections.size(); ++i)
        if (const std::uint32_t offset = layout->sections[i].offset; offset >= first.offset && offset < firstEnd)
            return damagedSet("another section starts inside its first section");
    return std::move(*layout);
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> valueExtent(const Section& section, std::size_t entryIndex)
{
    const std::uint32_t offset = section.entries[entryIndex].offset;
    const std::uint64_t tableEnd = propertyTableEnd(section.entries.size());
    if (offset < tableEnd || offset >= section.size) return std::nullopt;
    std::uint32_t end = section.size;
    for (const PropertyEntry& other : section.entries)
        if (other.offset > offset && other.offset < end) end = other.offset;
    return std::pair{offset, end};
}

std::optional<PropertyValue> readProperty(std::span<const std::byte> stream, const Section& section, std::uint32_t id)
{
    const auto entry = std::find_if(section.entries.begin(), section.entries.end(),
                                    [id](const PropertyEntry& e) { return e.id == id; });
    if (entry == section.entries.end()) return std::nullopt;
    const auto extent = valueExtent(section, std::size_t(entry - section.entries.begin()));
    if (!extent || extent->second - extent->first < 4) return std::nullopt;
    const auto bytes = stream.subspan(section.offset + extent->first, extent->second - extent->first);
    ByteReader r(bytes);
    PropertyValue value;
    value.type = std::uint16_t(r.u32());  // the high half is padding ([MS-OLEPS] 2.15)
    const auto data = r.bytes(r.remaining());
    value.data.assign(data.begin(), data.end());
    value.codePage = declaredCodePage(stream, section).value_or(convert::kCodePageWindowsLatin1);
    return value;
}

std::optional<std::uint16_t> declaredCodePage(std::span<const std::byte> stream, const Section& section)
{
    const auto entry = std::find_if(section.entries.begin(), section.entries.end(),
                                    [](const PropertyEntry& e) { return e.id == kPidCodePage; });
    if (entry == section.entries.end()) return std::nullopt;
    const auto extent = valueExtent(section, std::size_t(entry - section.entries.begin()));
    if (!extent) return std::nullopt;
    ByteReader r(stream.subspan(section.offset + extent->first, extent->second - extent->first));
    const std::uint32_t type = r.u32();
    const std::uint16_t codePage = r.u16();
    if (!r.ok() || std::uint16_t(type) != kVtI2) return std::nullopt;
    return codePage;
}

}  // namespace quorvane::propset
