// SPDX-License-Identifier: Apache-2.0
#include "propset/custom_properties.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <map>
#include <set>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "convert/codepage_text.h"
#include "convert/storable_date.h"
#include "propset/property_value_text.h"
#include "propset/propset_layout.h"
#include "propset/propset_reader.h"
#include "propset/propset_stream_name.h"
#include "propset/propset_writer.h"

namespace quorvane::propset {
namespace {

// OS version field of a new stream: OS kind 2 (Win32) over version word 10.0.
constexpr std::uint32_t kNewStreamOsVersion = 0x0002000A;
constexpr std::uint32_t kFirstReservedId = 0x80000000;  // locale, behavior and the like ([MS-OLEPS] 2.18)

Failure damagedSet(std::string_view what) { return damaged("property set: " + std::string(what)); }

const props::Fmtid& documentSummaryFmtid() { return props::fmtidOfSelector(props::kDocumentSummaryInformation); }

struct DictionaryEntry {
    std::uint32_t id;
    std::string name;
};

// The text of a dictionary name or string up to its first terminator.
std::string nameText(std::span<const std::byte> bytes, std::uint16_t codePage)
{
    std::size_t length = 0;
    if (codePage == convert::kCodePageUtf16) {
        while (length + 1 < bytes.size() && (bytes[length] != std::byte{0} || bytes[length + 1] != std::byte{0}))
            length += 2;
    } else {
        while (length < bytes.size() && bytes[length] != std::byte{0}) ++length;
    }
    return convert::decodeCodePage(bytes.first(std::min(length, bytes.size())), codePage);
}

// [MS-OLEPS] 2.17: NumEntries, then per entry PropertyIdentifier, Length (characters with the
// terminator: bytes in a single-byte page, UTF-16 code units in 1200) and the name; in 1200 each
// entry is padded to a multiple of 4. Every count is checked against the bytes that remain.
std::optional<std::vector<DictionaryEntry>> parseDictionary(std::span<const std::byte> bytes, std::uint16_t codePage)
{
    ByteReader r(bytes);
    const std::uint32_t count = r.u32();
    if (!r.ok() || count > r.remaining() / 8) return std::nullopt;
    const bool wide = codePage == convert::kCodePageUtf16;
    std::vector<DictionaryEntry> entries;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t id = r.u32();
        const std::uint32_t length = r.u32();
        if (!r.ok() || length > r.remaining() / (wide ? 2 : 1)) return std::nullopt;
        const auto name = r.bytes(std::size_t(length) * (wide ? 2 : 1));
        if (wide) r.skip(std::min<std::size_t>((4 - name.size() % 4) % 4, r.remaining()));
        entries.push_back({id, nameText(name, codePage)});
    }
    return entries;
}

// The dictionary's bytes: entries in order, each name in `codePage` with its terminator.
Result<std::vector<std::byte>> encodeDictionary(const std::vector<DictionaryEntry>& entries, std::uint16_t codePage)
{
    const bool wide = codePage == convert::kCodePageUtf16;
    std::vector<std::byte> out;
    ByteWriter w(out);
    w.u32(std::uint32_t(entries.size()));
    for (const DictionaryEntry& entry : entries) {
        const auto encoded = convert::encodeCodePage(entry.name, codePage);
        if (!encoded)
            return Failure(FailureKind::Conversion, "name cannot be stored in code page " + std::to_string(codePage));
        w.u32(entry.id);
        w.u32(std::uint32_t(encoded->size() / (wide ? 2 : 1) + 1));
        w.bytes(*encoded);
        w.zeros(wide ? 2 : 1);
        if (wide) w.padTo(4);
    }
    w.padTo(4);
    return out;
}

// A user-defined section taken apart: each table entry with the bytes of its value's span as
// stored (type, value and padding), in table order; the dictionary parsed beside it.
struct UserSection {
    std::uint16_t codePage = convert::kCodePageWindowsLatin1;
    std::vector<std::pair<std::uint32_t, std::vector<std::byte>>> values;  // dictionary included, as id 0
    std::vector<DictionaryEntry> dictionary;
    bool dictionaryChanged = false;
};

Result<UserSection> takeApart(std::span<const std::byte> stream, const Section& section)
{
    UserSection user;
    if (section.size != section.declaredSize || section.entries.size() != section.declaredCount)
        return damagedSet("the user-defined section does not fit its stream");
    user.codePage = declaredCodePage(stream, section).value_or(convert::kCodePageWindowsLatin1);
    for (std::size_t i = 0; i < section.entries.size(); ++i) {
        const auto extent = valueExtent(section, i);
        if (!extent) return damagedSet("a user-defined value lies outside its section");
        for (std::size_t j = 0; j < i; ++j)
            if (section.entries[j].offset == section.entries[i].offset)
                return damagedSet("two user-defined properties share one value");
        const auto bytes = stream.subspan(section.offset + extent->first, extent->second - extent->first);
        const std::uint32_t id = section.entries[i].id;
        if (id == kPidDictionary) {
            auto dictionary = parseDictionary(bytes, user.codePage);
            if (!dictionary) return damagedSet("the dictionary does not fit its section");
            user.dictionary = std::move(*dictionary);
        }
        user.values.emplace_back(id, std::vector<std::byte>(bytes.begin(), bytes.end()));
    }
    return user;
}

std::string vtName(std::uint16_t type)
{
    static const std::map<std::uint16_t, const char*> names{
        {kVtEmpty, "VT_EMPTY"}, {kVtNull, "VT_NULL"}, {kVtI2, "VT_I2"},       {kVtR4, "VT_R4"},     {kVtBstr, "VT_BSTR"},
        {kVtError, "VT_ERROR"}, {kVtUi1, "VT_UI1"},   {kVtUi2, "VT_UI2"},     {kVtUi4, "VT_UI4"},   {kVtI8, "VT_I8"},
        {kVtUi8, "VT_UI8"},     {kVtInt, "VT_INT"},   {kVtUint, "VT_UINT"},   {kVtClsid, "VT_CLSID"}, {65, "VT_BLOB"},
        {66, "VT_STREAM"},      {67, "VT_STORAGE"},   {71, "VT_CF"},          {0x101E, "VT_VECTOR|VT_LPSTR"},
        {0x100C, "VT_VECTOR|VT_VARIANT"}};
    const auto found = names.find(type);
    return found != names.end() ? found->second : "VT " + std::to_string(type);
}

std::string numberText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

props::CustomProperty shownProperty(std::string name, std::span<const std::byte> valueSpan, std::uint16_t codePage)
{
    ByteReader r(valueSpan);
    PropertyValue value;
    value.type = std::uint16_t(r.u32());
    const auto data = r.bytes(r.remaining());
    value.data.assign(data.begin(), data.end());
    value.codePage = codePage;
    ByteReader v(value.data);
    switch (value.type) {
    case props::kVtLpstr:
    case kVtLpwstr: return {std::move(name), std::string(props::kCustomText), PropertyValueToText(value)};
    case kVtI4: return {std::move(name), std::string(props::kCustomInteger), PropertyValueToText(value)};
    case kVtR8: {
        const double number = std::bit_cast<double>(v.u64());
        return {std::move(name), std::string(props::kCustomNumber), v.ok() ? numberText(number) : ""};
    }
    case kVtBool: {
        const std::uint16_t flag = v.u16();
        return {std::move(name), std::string(props::kCustomYesNo), !v.ok() ? "" : flag ? "yes" : "no"};
    }
    case props::kVtFiletime: return {std::move(name), std::string(props::kCustomDate), PropertyValueToText(value)};
    default: return {std::move(name), vtName(value.type), ""};
    }
}

std::optional<std::size_t> userSectionIndex(const PropertySetLayout& layout)
{
    const auto fmtid = kUserDefinedFmtid.toBytes();
    for (std::size_t i = 0; i < layout.sections.size(); ++i)
        if (layout.sections[i].fmtid == fmtid) return i;
    return std::nullopt;
}

// The stored bytes of a value to set: text as VT_LPSTR when `codePage` holds it, else VT_LPWSTR.
std::vector<std::byte> typedCustomValue(const props::CustomValue& value, std::uint16_t codePage)
{
    std::vector<std::byte> out;
    ByteWriter w(out);
    if (value.type == props::kCustomInteger) return typedInt32(kVtI4, value.integer);
    if (value.type == props::kCustomDate) return typedFiletime(value.filetime100ns);
    if (value.type == props::kCustomNumber) {
        w.u32(kVtR8);
        w.u64(std::bit_cast<std::uint64_t>(value.number));
        return out;
    }
    if (value.type == props::kCustomYesNo) {
        w.u32(kVtBool);
        w.u16(value.yesNo ? 0xFFFF : 0);  // [MS-OLEPS] 2.15: VARIANT_BOOL
        w.padTo(4);
        return out;
    }
    if (const auto encoded = convert::encodeCodePage(value.text, codePage)) return typedCodePageString(*encoded, codePage);
    return typedUnicodeString(convert::encodeCodePage(value.text, convert::kCodePageUtf16).value_or(std::vector<std::byte>{}));
}

bool isNamedValue(std::uint32_t id) { return id > kPidCodePage && id < kFirstReservedId; }

// Applies one edit to the section. False when it changed nothing.
bool applyEdit(UserSection& user, const props::CustomEdit& edit)
{
    using Kind = props::CustomEdit::Kind;
    auto& dictionary = user.dictionary;
    if (edit.kind == Kind::RemoveAll) {
        const bool any = std::any_of(user.values.begin(), user.values.end(), [](const auto& v) { return isNamedValue(v.first); });
        std::erase_if(user.values, [](const auto& v) { return isNamedValue(v.first); });
        user.dictionaryChanged = user.dictionaryChanged || !dictionary.empty();
        dictionary.clear();
        return any;
    }
    const auto named = std::find_if(dictionary.begin(), dictionary.end(),
                                    [&](const DictionaryEntry& e) { return props::sameCustomName(e.name, edit.name); });
    if (edit.kind == Kind::Remove) {
        if (named == dictionary.end()) return false;
        const std::uint32_t id = named->id;
        dictionary.erase(named);
        user.dictionaryChanged = true;
        std::erase_if(user.values, [id](const auto& v) { return v.first == id; });
        return true;
    }
    std::vector<std::byte> typed = typedCustomValue(edit.value, user.codePage);
    if (named != dictionary.end()) {
        const auto value = std::find_if(user.values.begin(), user.values.end(), [&](const auto& v) { return v.first == named->id; });
        if (value != user.values.end()) {
            value->second = std::move(typed);
            return true;
        }
        user.values.emplace_back(named->id, std::move(typed));
        return true;
    }
    std::set<std::uint32_t> used;
    for (const auto& [valueId, bytes] : user.values)
        if (isNamedValue(valueId)) used.insert(valueId);
    for (const DictionaryEntry& entry : dictionary)
        if (isNamedValue(entry.id)) used.insert(entry.id);
    // One more than the largest in use; when that would be a reserved id, the smallest free one.
    std::uint32_t id = used.empty() ? kPidCodePage + 1 : *used.rbegin() + 1;
    if (!isNamedValue(id)) {
        id = kPidCodePage + 1;
        while (used.count(id)) ++id;
    }
    dictionary.push_back({id, edit.name});
    user.dictionaryChanged = true;
    user.values.emplace_back(id, std::move(typed));
    return true;
}

// The section's bytes: header, table in the order of `values`, the values each padded to 4.
Result<std::vector<std::byte>> assemble(UserSection& user)
{
    if (user.dictionaryChanged || std::none_of(user.values.begin(), user.values.end(), [](const auto& v) { return v.first == kPidDictionary; })) {
        auto dictionary = encodeDictionary(user.dictionary, user.codePage);
        if (!dictionary.ok()) return dictionary.failure();
        const auto old = std::find_if(user.values.begin(), user.values.end(), [](const auto& v) { return v.first == kPidDictionary; });
        if (old != user.values.end()) old->second = std::move(dictionary).value();
        else user.values.insert(user.values.begin(), {kPidDictionary, std::move(dictionary).value()});
    }
    if (std::none_of(user.values.begin(), user.values.end(), [](const auto& v) { return v.first == kPidCodePage; }))
        user.values.insert(user.values.begin() + 1, {kPidCodePage, typedI2(std::int16_t(user.codePage))});
    std::vector<std::byte> body;
    ByteWriter b(body);
    std::vector<std::byte> section;
    ByteWriter s(section);
    const std::size_t tableEnd = std::size_t(propertyTableEnd(user.values.size()));
    std::vector<std::uint32_t> offsets;
    for (const auto& [id, bytes] : user.values) {
        offsets.push_back(std::uint32_t(tableEnd + body.size()));
        b.bytes(bytes);
        b.padTo(4);
    }
    s.u32(std::uint32_t(tableEnd + body.size()));
    s.u32(std::uint32_t(user.values.size()));
    for (std::size_t i = 0; i < user.values.size(); ++i) {
        s.u32(user.values[i].first);
        s.u32(offsets[i]);
    }
    s.bytes(body);
    return section;
}

// A DocumentSummaryInformation section holding only its code page.
std::vector<std::byte> emptySection(std::uint16_t codePage)
{
    std::vector<std::byte> out;
    ByteWriter w(out);
    const std::size_t tableEnd = std::size_t(propertyTableEnd(1));
    const std::vector<std::byte> codePageValue = typedI2(std::int16_t(codePage));
    w.u32(std::uint32_t(tableEnd + codePageValue.size()));
    w.u32(1);
    w.u32(kPidCodePage);
    w.u32(std::uint32_t(tableEnd));
    w.bytes(codePageValue);
    return out;
}

// The stream from its header's first 24 bytes and its sections' FMTIDs and bytes, in order.
std::vector<std::byte> assembleStream(std::span<const std::byte> headerStart,
                                      const std::vector<std::pair<std::array<std::uint8_t, 16>, std::vector<std::byte>>>& sections)
{
    std::vector<std::byte> out(headerStart.begin(), headerStart.end());
    ByteWriter w(out);
    w.u32(std::uint32_t(sections.size()));
    std::size_t offset = sectionListEntryOffset(sections.size());
    for (const auto& [fmtid, bytes] : sections) {
        for (const std::uint8_t byte : fmtid) w.u8(byte);
        w.u32(std::uint32_t(offset));
        offset += (bytes.size() + 3) / 4 * 4;
    }
    for (const auto& [fmtid, bytes] : sections) {
        w.bytes(bytes);
        w.padTo(4);
    }
    return out;
}

}  // namespace

Result<std::vector<props::CustomProperty>> customPropertiesOf(std::span<const std::byte> stream)
{
    const auto layout = parsePropertySet(stream);
    if (!layout) return damagedSet("its header or section list is broken");
    const auto index = userSectionIndex(*layout);
    if (!index) return std::vector<props::CustomProperty>{};
    const Section& section = layout->sections[*index];
    auto user = takeApart(stream, section);
    if (!user.ok()) return user.failure();
    std::vector<props::CustomProperty> shown;
    for (const auto& [id, bytes] : user->values) {
        if (!isNamedValue(id)) continue;
        const auto named = std::find_if(user->dictionary.begin(), user->dictionary.end(),
                                        [valueId = id](const DictionaryEntry& e) { return e.id == valueId; });
        if (named == user->dictionary.end()) continue;
        shown.push_back(shownProperty(named->name, bytes, user->codePage));
    }
    return shown;
}

Result<std::optional<std::vector<std::byte>>> streamWithCustomEdits(const std::optional<std::vector<std::byte>>& stream,
                                                                    std::span<const props::CustomEdit> edits)
{
    for (const props::CustomEdit& edit : edits)
        if (edit.kind == props::CustomEdit::Kind::Set && edit.value.type == props::kCustomDate)
            if (Failure refused = convert::storableFileTimeRefusal(edit.value.filetime100ns, "custom property " + edit.name);
                refused.failed())
                return refused;
    std::optional<PropertySetLayout> layout;
    if (stream) {
        layout = parsePropertySet(*stream);
        if (!layout) return damagedSet("its header or section list is broken");
    }
    const bool fresh = !layout || layout->sections.empty();
    std::vector<std::pair<std::array<std::uint8_t, 16>, std::vector<std::byte>>> sections;
    std::optional<std::size_t> userIndex;
    UserSection user;
    if (fresh) {
        user.codePage = convert::kCodePageUtf16;
        sections.emplace_back(documentSummaryFmtid().toBytes(), emptySection(user.codePage));
    } else {
        for (std::size_t i = 0; i < layout->sections.size(); ++i) {
            const Section& section = layout->sections[i];
            if (section.size != section.declaredSize || section.size < kSectionHeaderSize)
                return damagedSet("a section does not fit its stream");
            const auto bytes = std::span<const std::byte>(*stream).subspan(section.offset, section.size);
            sections.emplace_back(section.fmtid, std::vector<std::byte>(bytes.begin(), bytes.end()));
        }
        userIndex = userSectionIndex(*layout);
        if (userIndex) {
            auto parts = takeApart(*stream, layout->sections[*userIndex]);
            if (!parts.ok()) return parts.failure();
            user = std::move(parts).value();
        } else {
            user.codePage = declaredCodePage(*stream, layout->sections.front()).value_or(convert::kCodePageWindowsLatin1);
        }
    }
    bool changed = false;
    for (const props::CustomEdit& edit : edits) changed = applyEdit(user, edit) || changed;
    if (!changed) return std::optional<std::vector<std::byte>>{};
    const bool keepsValues = std::any_of(user.values.begin(), user.values.end(), [](const auto& v) { return v.first > kPidCodePage; });
    if (keepsValues) {
        auto section = assemble(user);
        if (!section.ok()) return section.failure();
        if (userIndex) sections[*userIndex].second = std::move(section).value();
        else sections.emplace_back(kUserDefinedFmtid.toBytes(), std::move(section).value());
    } else if (userIndex) {
        sections.erase(sections.begin() + std::ptrdiff_t(*userIndex));
    }
    std::vector<std::byte> headerStart;
    if (fresh) {
        ByteWriter w(headerStart);
        w.u16(kPropertySetByteOrder);
        w.u16(0);  // version
        w.u32(kNewStreamOsVersion);
        w.zeros(kClsidSize);
    } else {
        headerStart.assign(stream->begin(), stream->begin() + std::ptrdiff_t(kStreamHeaderSize - 4));
    }
    return std::optional(assembleStream(headerStart, sections));
}

}  // namespace quorvane::propset
