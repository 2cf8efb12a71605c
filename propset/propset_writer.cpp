// SPDX-License-Identifier: Apache-2.0
#include "propset/propset_writer.h"

#include <algorithm>
#include <map>
#include <set>

#include "base/byte_writer.h"
#include "convert/codepage_text.h"
#include "propset/propset_layout.h"
#include "propset/propset_reader.h"
#include "propset/property_value_text.h"

namespace quorvane::propset {
namespace {
// OS version field of a new set: OS kind 2 (Win32) over version word 10.0.
constexpr std::uint32_t kNewSetOsVersion = 0x0002000A;

}  // namespace

std::vector<std::byte> typedCodePageString(std::span<const std::byte> encodedText, std::uint16_t codePage)
{
    // [MS-OLEPS] 2.5: the count is in bytes and includes the terminator, two bytes in 1200.
    const std::size_t terminator = codePage == convert::kCodePageUtf16 ? 2 : 1;
    std::vector<std::byte> out;
    ByteWriter w(out);
    w.u32(props::kVtLpstr);
    w.u32(std::uint32_t(encodedText.size() + terminator));
    w.bytes(encodedText);
    w.zeros(terminator);
    w.padTo(4);
    return out;
}

std::vector<std::byte> typedUnicodeString(std::span<const std::byte> utf16le)
{
    std::vector<std::byte> out;
    ByteWriter w(out);
    w.u32(kVtLpwstr);
    w.u32(std::uint32_t(utf16le.size() / 2 + 1));
    w.bytes(utf16le);
    w.zeros(2);
    w.padTo(4);
    return out;
}

std::vector<std::byte> typedInt32(std::uint16_t type, std::int32_t value)
{
    std::vector<std::byte> out;
    ByteWriter w(out);
    w.u32(type);
    w.u32(std::uint32_t(value));
    return out;
}

std::vector<std::byte> typedI2(std::int16_t value)
{
    std::vector<std::byte> out;
    ByteWriter w(out);
    w.u32(kVtI2);
    w.u16(std::uint16_t(value));
    w.padTo(4);
    return out;
}

std::vector<std::byte> typedFiletime(std::uint64_t value)
{
    std::vector<std::byte> out;
    ByteWriter w(out);
    w.u32(props::kVtFiletime);
    w.u64(value);
    return out;
}

std::vector<std::byte> typedNull()
{
    std::vector<std::byte> out;
    ByteWriter(out).u32(kVtNull);
    return out;
}

namespace {

// Where a property the section does not hold yet goes: after the last value, or first in the
// table and first among the values.
enum class NewPlace { Last, First };

// setProperty (typedValue given), declareCodePageFirst and removeProperty (typedValue null) share
// one rebuild of the first section.
Result<std::vector<std::byte>> rewriteFirstSection(std::span<const std::byte> stream, std::uint32_t id,
                                                   const std::span<const std::byte>* typedValue, NewPlace place)
{
    const auto layout = parseSoundPropertySet(stream);
    if (!layout.ok()) return layout.failure();
    if (layout->sections.empty()) return damaged("property set: it holds no section");
    const Section& first = layout->sections.front();
    const std::size_t tableEnd = std::size_t(propertyTableEnd(first.entries.size()));
    const std::uint64_t firstEnd = std::uint64_t(first.offset) + first.size;

    // The section's values as spans in physical order: distinct offsets, each span running to
    // the next offset or to the section's end.
    std::map<std::uint32_t, std::uint32_t> spanEnds;  // start -> end
    for (const PropertyEntry& entry : first.entries) spanEnds[entry.offset] = first.size;
    for (auto it = spanEnds.begin(); it != spanEnds.end(); ++it)
        if (auto next = std::next(it); next != spanEnds.end()) it->second = next->first;

    // A table may list the id more than once: every listing and its value go, and a set value
    // takes the first one's place, so that no old value stays behind a later listing.
    const auto target = std::find_if(first.entries.begin(), first.entries.end(),
                                     [id](const PropertyEntry& e) { return e.id == id; });
    const bool present = target != first.entries.end();
    std::set<std::uint32_t> targetOffsets;
    for (const PropertyEntry& entry : first.entries)
        if (entry.id == id) targetOffsets.insert(entry.offset);
    const auto listings = std::size_t(std::count_if(first.entries.begin(), first.entries.end(),
                                                    [id](const PropertyEntry& e) { return e.id == id; }));
    const bool removing = typedValue == nullptr;
    if (removing && !present) return std::vector<std::byte>(stream.begin(), stream.end());

    const auto sectionBytes = stream.subspan(first.offset, first.size);
    const std::size_t newTableEnd = tableEnd - listings * kPropertyTableEntrySize + (removing ? 0 : kPropertyTableEntrySize);
    std::vector<std::byte> body;  // everything after the new table
    ByteWriter w(body);
    std::uint32_t addedOffset = 0;
    if (!present && place == NewPlace::First) {
        // The table ends on a multiple of 4 and the value is padded to one, so every later value
        // keeps its phase.
        addedOffset = std::uint32_t(newTableEnd);
        w.bytes(*typedValue);
        w.padTo(4);
    }
    const std::uint32_t firstValue = spanEnds.empty() ? first.size : spanEnds.begin()->first;
    w.bytes(sectionBytes.subspan(tableEnd, firstValue - tableEnd));  // bytes between table and values
    std::map<std::uint32_t, std::uint32_t> newOffsets;
    for (const auto& [start, end] : spanEnds) {
        newOffsets[start] = std::uint32_t(newTableEnd + body.size());
        if (targetOffsets.count(start)) {
            const std::size_t oldLength = end - start;
            const bool setHere = !removing && start == target->offset;
            const std::size_t newLength = setHere ? typedValue->size() : 0;
            if (setHere) w.bytes(*typedValue);
            // Keep the old length's remainder modulo 4, so that what follows keeps its phase.
            w.zeros((oldLength % 4 + 4 - newLength % 4) % 4);
        } else {
            w.bytes(sectionBytes.subspan(start, end - start));
        }
    }
    if (!present && place == NewPlace::Last) {
        w.padTo(4);  // the table ends on a multiple of 4, so this aligns the new value in the section
        addedOffset = std::uint32_t(newTableEnd + body.size());
        w.bytes(*typedValue);
    }

    // No padding at the end: a replaced or removed value keeps the old length modulo 4 and an
    // appended one is aligned and padded, so the size keeps its remainder and the last span its
    // bytes.
    std::vector<std::byte> section;
    ByteWriter s(section);
    const std::size_t sectionSize = newTableEnd + body.size();
    s.u32(std::uint32_t(sectionSize));
    s.u32(std::uint32_t(first.entries.size() - listings + (removing ? 0 : 1)));
    const auto addedEntry = [&] {
        s.u32(id);
        s.u32(addedOffset);
    };
    if (!present && place == NewPlace::First) addedEntry();
    for (const PropertyEntry& entry : first.entries) {
        if (entry.id == id && (removing || &entry != &*target)) continue;
        s.u32(entry.id);
        s.u32(newOffsets[entry.offset]);
    }
    if (!present && place == NewPlace::Last) addedEntry();
    s.bytes(body);

    const std::int64_t delta = std::int64_t(section.size()) - std::int64_t(first.size);
    std::vector<std::byte> out(stream.begin(), stream.begin() + first.offset);
    out.insert(out.end(), section.begin(), section.end());
    out.insert(out.end(), stream.begin() + std::ptrdiff_t(firstEnd), stream.end());
    for (std::size_t i = 1; i < layout->sections.size(); ++i) {
        const std::uint32_t offset = layout->sections[i].offset;
        if (offset >= firstEnd)
            patchLittle(out, sectionListEntryOffset(i) + kSectionOffsetInListEntry, std::uint64_t(offset + delta), 4);
    }
    return out;
}

}  // namespace

Result<std::vector<std::byte>> setProperty(std::span<const std::byte> stream, std::uint32_t id,
                                                  std::span<const std::byte> typedValue)
{
    return rewriteFirstSection(stream, id, &typedValue, NewPlace::Last);
}

Result<std::vector<std::byte>> declareCodePageFirst(std::span<const std::byte> stream, std::uint16_t codePage)
{
    const std::vector<std::byte> typed = typedI2(std::int16_t(codePage));
    const std::span<const std::byte> typedValue(typed);
    return rewriteFirstSection(stream, kPidCodePage, &typedValue, NewPlace::First);
}

Result<std::vector<std::byte>> removeProperty(std::span<const std::byte> stream, std::uint32_t id)
{
    return rewriteFirstSection(stream, id, nullptr, NewPlace::Last);
}

std::vector<std::byte> newPropertySet(const props::Fmtid& fmtid, std::uint32_t id, std::span<const std::byte> typedValue)
{
    const auto fmtidBytes = fmtid.toBytes();
    const std::vector<std::byte> codePage = typedI2(std::int16_t(convert::kCodePageUtf16));
    std::vector<std::byte> out;
    ByteWriter w(out);
    w.u16(kPropertySetByteOrder);
    w.u16(0);  // version
    w.u32(kNewSetOsVersion);
    for (const std::uint8_t byte : fmtidBytes) w.u8(byte);  // class id = the FMTID
    w.u32(1);
    for (const std::uint8_t byte : fmtidBytes) w.u8(byte);
    w.u32(std::uint32_t(sectionListEntryOffset(1)));  // the one section follows the list
    const std::size_t tableEnd = std::size_t(propertyTableEnd(2));
    w.u32(std::uint32_t(tableEnd + codePage.size() + typedValue.size()));
    w.u32(2);
    w.u32(kPidCodePage);
    w.u32(std::uint32_t(tableEnd));
    w.u32(id);
    w.u32(std::uint32_t(tableEnd + codePage.size()));
    w.bytes(codePage);
    w.bytes(typedValue);
    return out;
}

}  // namespace quorvane::propset
