// SPDX-License-Identifier: Apache-2.0
#include "propset/property_set_access.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "base/byte_reader.h"
#include "base/change_scope.h"
#include "cfb/cfb_compound_file.h"
#include "cfb/cfb_stream_write.h"
#include "convert/codepage_text.h"
#include "convert/date_time.h"
#include "convert/display_text.h"
#include "base/error.h"
#include "convert/minutes_text.h"
#include "convert/storable_date.h"
#include "convert/utf8_sequence.h"
#include "propset/propset_reader.h"
#include "propset/propset_stream_name.h"
#include "propset/propset_writer.h"
#include "base/random_access_file.h"

namespace quorvane::propset {
namespace {

constexpr std::uint32_t kFirstReadOnlyPropertyId = 0x80000000;

// Why the text of `write` has no form in `codePage`, naming the first character that has none:
// "Title: "€" (U+20AC) cannot be stored in code page 1252"; text that is no valid UTF-8 is named
// as such.
Failure notInCodePage(const PropertyWrite& write, std::uint16_t codePage)
{
    const std::string page = " in code page " + std::to_string(codePage);
    std::string_view rest = write.text;
    char32_t value = 0;
    while (const std::size_t length = convert::validSequenceLength(rest, value)) {
        const std::string_view character = rest.substr(0, length);
        rest.remove_prefix(length);
        if (convert::encodeCodePage(character, codePage)) continue;
        char codePoint[16];
        std::snprintf(codePoint, sizeof codePoint, "U+%04X", unsigned(value));
        return Failure(FailureKind::Conversion,
                       write.label + ": \"" + std::string(character) + "\" (" + codePoint + ") cannot be stored" + page);
    }
    return Failure(FailureKind::Conversion, write.label + ": invalid UTF-8 cannot be stored" + page);
}

Failure damagedPropertySet(std::string_view what) { return damaged("property set: " + std::string(what)); }

std::int32_t integerOf(std::string_view text)
{
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        throw Error("'" + std::string(text) + "' is not a valid integer value");
    return value;
}

// The stored bytes of the value a write stores; the failure when the text has no form in the
// code page (Conversion) or the write's type is not one we write (Unsupported).
Result<std::vector<std::byte>> typedValueOf(const PropertyWrite& write, std::uint16_t codePage)
{
    using Kind = PropertyWrite::Kind;
    const Failure unsupported(FailureKind::Unsupported, "values of type " + std::to_string(write.valueType) + " are not written");
    switch (write.kind) {
    case Kind::Text:
        if (write.valueType == props::kVtLpstr) {
            const auto encoded = convert::encodeCodePage(write.text, codePage);
            if (!encoded) return notInCodePage(write, codePage);
            return typedCodePageString(*encoded, codePage);
        }
        if (write.valueType == kVtLpwstr) {
            const auto encoded = convert::encodeCodePage(write.text, convert::kCodePageUtf16);
            if (!encoded) return notInCodePage(write, convert::kCodePageUtf16);
            return typedUnicodeString(*encoded);
        }
        return unsupported;
    case Kind::Integer:
        if (write.valueType != kVtInt) return unsupported;
        return typedInt32(kVtInt, write.integer);
    case Kind::Filetime:
        if (write.valueType != props::kVtFiletime) return unsupported;
        return typedFiletime(write.filetime);
    case Kind::Null: return typedNull();
    case Kind::Remove: break;
    }
    return unsupported;
}

// Whether a section without a code page already holds 8-bit strings or a dictionary, whose
// bytes a newly declared page would reinterpret.
bool holdsCodePageText(std::span<const std::byte> stream, const Section& section)
{
    for (std::size_t i = 0; i < section.entries.size(); ++i) {
        if (section.entries[i].id == kPidDictionary) return true;
        const auto extent = valueExtent(section, i);
        if (!extent) continue;
        ByteReader r(stream.subspan(section.offset + extent->first, extent->second - extent->first));
        const std::uint16_t type = std::uint16_t(r.u32());
        if ((type & 0x0FFF) == props::kVtLpstr || (type & 0x0FFF) == kVtBstr) return true;
    }
    return false;
}

// The new stream for an existing set: the value patched into its first section, with code page
// 1200 declared first in the section when it had none and holds no text yet.
Result<std::vector<std::byte>> patchedStream(std::span<const std::byte> stream, const PropertySetLayout& layout,
                                             const PropertyWrite& write)
{
    const std::uint32_t propertyId = write.propertyId;
    const std::uint16_t valueType = write.valueType;
    const Section& first = layout.sections.front();
    const auto declared = declaredCodePage(stream, first);
    const bool holdsText = !declared && holdsCodePageText(stream, first);
    const bool declareUtf16 = !declared && !holdsText && valueType == props::kVtLpstr && write.kind == PropertyWrite::Kind::Text;
    // A section without a code page is read as 1252; text written into one that already holds
    // text is encoded the same way, so that old and new values read alike.
    const std::uint16_t codePage = declared ? *declared : holdsText ? convert::kCodePageWindowsLatin1 : convert::kCodePageUtf16;
    const auto typed = typedValueOf(write, codePage);
    if (!typed.ok()) return typed.failure();
    if (!declareUtf16) return setProperty(stream, propertyId, *typed);
    const auto withCodePage = declareCodePageFirst(stream, convert::kCodePageUtf16);
    if (!withCodePage.ok()) return withCodePage.failure();
    return setProperty(*withCodePage, propertyId, *typed);
}

bool removes(const PropertyWrite& write) { return write.kind == PropertyWrite::Kind::Remove; }

// An empty text or a null value says that the property has no value: where the property is
// absent, it has none already and nothing is written.
bool givesNoValue(const PropertyWrite& write)
{
    return removes(write) || write.kind == PropertyWrite::Kind::Null ||
           (write.kind == PropertyWrite::Kind::Text && write.text.empty());
}

bool holdsProperty(const Section& section, std::uint32_t id)
{
    return std::any_of(section.entries.begin(), section.entries.end(),
                       [id](const PropertyEntry& entry) { return entry.id == id; });
}

// Applies one write to the set's stream (nullopt: the set is missing or holds no section; a new
// set is made unless the write gives no value). The failure when it cannot be applied.
Failure applyWrite(std::optional<std::vector<std::byte>>& stream, const props::Fmtid& fmtid, const PropertyWrite& write)
{
    if (!stream && givesNoValue(write)) return {};
    if (!stream) {
        const auto typed = typedValueOf(write, convert::kCodePageUtf16);
        if (!typed.ok()) return typed.failure();
        stream = newPropertySet(fmtid, write.propertyId, *typed);
        return {};
    }
    const auto layout = parseSoundPropertySet(*stream);
    if (!layout.ok()) return layout.failure();
    if (layout->sections.empty()) return damagedPropertySet("it holds no section");
    if (givesNoValue(write) && !holdsProperty(layout->sections.front(), write.propertyId)) return {};
    if (removes(write)) {
        auto removed = removeProperty(*stream, write.propertyId);
        if (!removed.ok()) return removed.failure();
        stream = std::move(removed).value();
        return {};
    }
    auto patched = patchedStream(*stream, *layout, write);
    if (!patched.ok()) return patched.failure();
    stream = std::move(patched).value();
    return {};
}

Failure refusedId(std::span<const PropertyWrite> writes)
{
    // Property 0 is the dictionary, 1 the code page (fixed once a set holds values), and ids
    // from 0x80000000 up are reserved: none of them is written as a value.
    for (const PropertyWrite& write : writes)
        if (write.propertyId <= kPidCodePage || write.propertyId >= kFirstReadOnlyPropertyId)
            return Failure(FailureKind::Unsupported, "property " + std::to_string(write.propertyId) + " is not written");
    return {};
}

// The write of one property that WriteDocProperty and WriteEditTimeProperty make of a text.
Result<PropertyWrite> propertyWriteOfText(std::uint32_t propertyId, std::string_view text, std::uint16_t valueType,
                                          bool span)
{
    PropertyWrite write{propertyId, valueType, PropertyWrite::Kind::Text, std::string(text)};
    if (valueType == kVtInt) {
        write.kind = PropertyWrite::Kind::Integer;
        write.integer = integerOf(text);
    } else if (valueType == props::kVtFiletime && text.empty()) {
        write.kind = PropertyWrite::Kind::Null;
    } else if (valueType == props::kVtFiletime && span) {
        write.kind = PropertyWrite::Kind::Filetime;
        write.filetime = std::uint64_t(convert::MinutesTextToFileTimeSpan(text));
    } else if (valueType == props::kVtFiletime) {
        write.kind = PropertyWrite::Kind::Filetime;
        const auto local = convert::readDisplayText(text);
        if (!local) throw Error(convert::notADateText(text));
        const auto filetime = convert::storableFileTime(convert::localToUtcEpochMs(*local).value_or(INT64_MIN),
                                                        "'" + std::string(text) + "'");
        if (!filetime.ok()) return filetime.failure();
        write.filetime = *filetime;
    }
    return write;
}

// One set's writes in one write sequence of an opened (and locked) file.
Failure writeSetInto(RandomAccessFile& file, const props::Fmtid& fmtid, std::span<const PropertyWrite> writes)
{
    auto opened = cfb::CompoundFile::open(file);
    if (!opened.ok()) return opened.failure();
    cfb::CompoundFile& compoundFile = opened.value();
    auto set = readSetStream(compoundFile, fmtid);
    if (!set.ok()) return set.failure();
    auto stream = streamWithWrites(set->stream, fmtid, writes);
    if (!stream.ok()) return stream.failure();
    if (!*stream || *stream == set->stream) return compoundFile.checkAllocation();
    const cfb::StreamWrite write{set->entryId, set->entryId ? std::u16string() : propertySetStreamName(fmtid), **stream};
    return cfb::writeStreams(compoundFile, std::span(&write, 1));
}

bool writeTextProperty(const std::string& fileName, const props::Fmtid& fmtid, std::uint32_t propertyId,
                       std::string_view valueText, std::uint16_t valueType, bool span)
{
    const auto write = propertyWriteOfText(propertyId, valueText, valueType, span);
    if (!write.ok()) return false;
    return !writeFileInPlace(fileName, nullptr, [&](RandomAccessFile& file) {
                return writeSetInto(file, fmtid, std::span(&*write, 1));
            }).failed();
}

}  // namespace

Result<std::optional<std::vector<std::byte>>> streamWithWrites(std::optional<std::vector<std::byte>> stream,
                                                               const props::Fmtid& fmtid,
                                                               std::span<const PropertyWrite> writes)
{
    if (Failure refused = refusedId(writes); refused.failed()) return refused;
    for (const PropertyWrite& write : writes)
        if (Failure refused = applyWrite(stream, fmtid, write); refused.failed()) return refused;
    return stream;
}

Result<SetStream> readSetStream(cfb::CompoundFile& compoundFile, const props::Fmtid& fmtid)
{
    SetStream set;
    set.entryId = compoundFile.findRootStream(propertySetStreamName(fmtid));
    if (!set.entryId) return set;
    auto stream = compoundFile.readStream(*set.entryId, kMaxPropertySetStreamBytes);
    if (!stream.ok()) return stream.failure();
    const auto layout = parseSoundPropertySet(*stream);
    if (!layout.ok()) return layout.failure();
    // A set without any section holds nothing: a new set takes its place.
    if (!layout->sections.empty()) set.stream = std::move(stream).value();
    return set;
}

Result<std::optional<PropertySetContent>> propertySetContent(std::optional<std::vector<std::byte>> stream)
{
    if (!stream) return std::optional<PropertySetContent>();
    auto layout = parseSoundPropertySet(*stream);
    if (!layout.ok()) return layout.failure();
    if (layout->sections.empty()) return std::optional<PropertySetContent>();
    return std::optional(PropertySetContent{std::move(*stream), std::move(layout->sections.front())});
}

std::optional<PropertyValue> PropertySetContent::property(std::uint32_t propertyId) const
{
    return readProperty(stream, firstSection, propertyId);
}

Result<std::vector<std::optional<PropertySetContent>>> readPropertySetsFrom(cfb::CompoundFile& compoundFile,
                                                                            std::span<const props::Fmtid> fmtids)
{
    std::vector<std::optional<PropertySetContent>> sets;
    for (const props::Fmtid& fmtid : fmtids) {
        const auto entryId = compoundFile.findRootStream(propertySetStreamName(fmtid));
        if (!entryId) {
            sets.emplace_back();
            continue;
        }
        auto stream = compoundFile.readStream(*entryId, kMaxPropertySetStreamBytes);
        if (!stream.ok()) return stream.failure();
        auto content = propertySetContent(std::move(stream).value());
        if (!content.ok()) return content.failure();
        sets.push_back(std::move(content).value());
    }
    return sets;
}

Result<std::vector<std::optional<PropertySetContent>>> readPropertySets(const std::string& fileName,
                                                                        std::span<const props::Fmtid> fmtids)
{
    auto file = PosixFile::openOrFailure(fileName, OpenMode::ReadShared);
    if (!file.ok()) return file.failure();
    auto opened = cfb::CompoundFile::open(file.value());
    if (!opened.ok()) return opened.failure();
    return readPropertySetsFrom(opened.value(), fmtids);
}

Failure writePropertiesInto(RandomAccessFile& file, const props::Fmtid& fmtid, std::span<const PropertyWrite> writes)
{
    return writeSetInto(file, fmtid, writes);
}

void InitPropertySetAccess() {}

void ShutdownPropertySetAccess() {}

namespace {

// The value of one property, or why there is none (readPropertySets's failures, NotFound for an
// absent set or property).
Result<PropertyValue> readPropertyValue(const std::string& fileName, const props::Fmtid& fmtid, std::uint32_t propertyId)
{
    auto sets = readPropertySets(fileName, std::span(&fmtid, 1));
    if (!sets.ok()) return sets.failure();
    const std::optional<PropertySetContent>& set = sets->front();
    if (!set) return Failure(FailureKind::NotFound, "no such property set");
    auto value = set->property(propertyId);
    if (!value) return Failure(FailureKind::NotFound, "no such property");
    return std::move(*value);
}

}  // namespace

std::string ReadDocProperty(const std::string& fileName, const props::Fmtid& fmtid, std::uint32_t propertyId)
{
    const auto value = readPropertyValue(fileName, fmtid, propertyId);
    return value.ok() ? PropertyValueToText(*value) : std::string();
}

std::string ReadEditTimeProperty(const std::string& fileName, const props::Fmtid& fmtid, std::uint32_t propertyId)
{
    const auto value = readPropertyValue(fileName, fmtid, propertyId);
    return value.ok() ? EditTimeValueToText(*value) : std::string();
}

bool WriteDocProperty(const std::string& fileName, const props::Fmtid& fmtid, std::uint32_t propertyId,
                      std::string_view valueText, std::uint16_t valueType)
{
    return writeTextProperty(fileName, fmtid, propertyId, valueText, valueType, false);
}

bool WriteEditTimeProperty(const std::string& fileName, const props::Fmtid& fmtid, std::uint32_t propertyId,
                           std::string_view valueText, std::uint16_t valueType)
{
    return writeTextProperty(fileName, fmtid, propertyId, valueText, valueType, true);
}

}  // namespace quorvane::propset
