#include "propset/property_set_access.h"

#include <algorithm>
#include <cassert>
#include <charconv>
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
#include "propset/propset_reader.h"
#include "propset/propset_stream_name.h"
#include "propset/propset_writer.h"
#include "base/random_access_file.h"

namespace quorvane::propset {
namespace {

constexpr std::uint32_t kFirstReadOnlyPropertyId = 0x80000000;
// 10000-01-01 00:00 UTC: 3,067,671 days after 1601-01-01, in 100-ns units.
constexpr convert::FileTime kFileTimeOfYear10000 = 3'067'671ull * 864'000'000'000ull;

Failure notInCodePage(std::uint16_t codePage)
{
    return Failure(FailureKind::Conversion, "text cannot be stored in code page " + std::to_string(codePage));
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

// The stored bytes of the value to write; the failure when the text has no form in that type
// (a character missing from the code page: Conversion; a type we do not write: Unsupported).
// Throws Error for a text that is not an integer (VT_INT) or not a date (VT_FILETIME instant).
Result<std::vector<std::byte>> typedValueOf(std::string_view text, std::uint16_t type, FiletimeMeaning meaning,
                                            std::uint16_t codePage)
{
    switch (type) {
    case props::kVtLpstr: {
        const auto encoded = convert::encodeCodePage(text, codePage);
        if (!encoded) return notInCodePage(codePage);
        return typedCodePageString(*encoded, codePage);
    }
    case kVtLpwstr: {
        const auto encoded = convert::encodeCodePage(text, convert::kCodePageUtf16);
        if (!encoded) return notInCodePage(convert::kCodePageUtf16);
        return typedUnicodeString(*encoded);
    }
    case kVtInt: return typedInt32(kVtInt, integerOf(text));
    case props::kVtFiletime: {
        if (text.empty()) return typedNull();
        if (meaning == FiletimeMeaning::Span) return typedFiletime(std::uint64_t(convert::MinutesTextToFileTimeSpan(text)));
        const convert::FileTime fileTime = convert::DateTimeToUtcFileTime(convert::DisplayTextToDateTime(text));
        // FILETIME 0 is what the conversion gives for every instant up to 1601-01-01 00:00 UTC,
        // and what readers take for "no date": storing it would lose the date.
        if (fileTime == 0) return Failure(FailureKind::Conversion, "date before 1601 cannot be stored");
        if (fileTime >= kFileTimeOfYear10000) return Failure(FailureKind::Conversion, "date after 9999 cannot be stored");
        return typedFiletime(fileTime);
    }
    default: return Failure(FailureKind::Unsupported, "values of type " + std::to_string(type) + " are not written");
    }
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

// The new stream for an existing set: the value patched into its first section, after a
// declared code page 1200 when the section had none and holds no text yet.
Result<std::vector<std::byte>> patchedStream(std::span<const std::byte> stream, const PropertySetLayout& layout,
                                             std::uint32_t propertyId, std::string_view text, std::uint16_t valueType,
                                             FiletimeMeaning meaning)
{
    const Section& first = layout.sections.front();
    const auto declared = declaredCodePage(stream, first);
    const bool holdsText = !declared && holdsCodePageText(stream, first);
    const bool declareUtf16 = !declared && !holdsText && valueType == props::kVtLpstr;
    // A section without a code page is read as 1252; text written into one that already holds
    // text is encoded the same way, so that old and new values read alike.
    const std::uint16_t codePage = declared ? *declared : holdsText ? convert::kCodePageWindowsLatin1 : convert::kCodePageUtf16;
    const auto typed = typedValueOf(text, valueType, meaning, codePage);
    if (!typed.ok()) return typed.failure();
    const Failure brokenSection = damagedPropertySet("its first section is broken or overlapped");
    if (!declareUtf16) {
        auto patched = setProperty(stream, propertyId, *typed);
        if (!patched) return brokenSection;
        return std::move(*patched);
    }
    const auto withCodePage = setProperty(stream, kPidCodePage, typedI2(std::int16_t(convert::kCodePageUtf16)));
    if (!withCodePage) return brokenSection;
    auto patched = setProperty(*withCodePage, propertyId, *typed);
    if (!patched) return brokenSection;
    return std::move(*patched);
}

bool removes(const PropertyWrite& write) { return write.emptyRemoves && write.valueText.empty(); }

// Applies one write to the set's stream (nullopt: the set is missing or holds no section; a new
// set is made unless the write removes a property). The failure when it cannot be applied.
Failure applyWrite(std::optional<std::vector<std::byte>>& stream, const props::Fmtid& fmtid, const PropertyWrite& write)
{
    if (!stream && removes(write)) return {};
    if (!stream) {
        const auto typed = typedValueOf(write.valueText, write.valueType, write.meaning, convert::kCodePageUtf16);
        if (!typed.ok()) return typed.failure();
        stream = newPropertySet(fmtid, write.propertyId, *typed);
        return {};
    }
    const auto layout = parsePropertySet(*stream);
    if (!layout || layout->sections.empty()) return damagedPropertySet("its header or section list is broken");
    if (removes(write)) {
        auto removed = removeProperty(*stream, write.propertyId);
        if (!removed) return damagedPropertySet("its first section is broken or overlapped");
        stream = std::move(*removed);
        return {};
    }
    auto patched = patchedStream(*stream, *layout, write.propertyId, write.valueText, write.valueType, write.meaning);
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

// A set as a write finds it: its entry (nullopt when absent) and the stream to start from
// (nullopt when absent or holding no section). A set stream that does not parse is refused, so
// that nothing of it is lost.
struct SetToWrite {
    std::optional<std::uint32_t> entryId;
    std::optional<std::vector<std::byte>> stream;
};

Result<SetToWrite> setToWrite(cfb::CompoundFile& compoundFile, const props::Fmtid& fmtid)
{
    SetToWrite set;
    set.entryId = compoundFile.findRootStream(propertySetStreamName(fmtid));
    if (!set.entryId) return set;
    auto stream = compoundFile.readStream(*set.entryId, kMaxPropertySetStreamBytes);
    if (!stream.ok()) return stream.failure();
    const auto layout = parsePropertySet(*stream);
    if (!layout) return damagedPropertySet("its header or section list is broken");
    // A set without any section holds nothing: a new set takes its place.
    if (!layout->sections.empty()) set.stream = std::move(stream).value();
    return set;
}

// The sets of `sets` in one write sequence of the file: each set's writes applied to its stream,
// in order. A set whose writes cannot be applied ends the sets: those before it are written and
// its refusal is returned.
Failure writeSetsInto(RandomAccessFile& file, std::span<const SetWrites> sets)
{
    for (const SetWrites& set : sets)
        if (Failure refused = refusedId(set.writes); refused.failed()) return refused;
    auto opened = cfb::CompoundFile::open(file);
    if (!opened.ok()) return opened.failure();
    cfb::CompoundFile& compoundFile = opened.value();
    std::vector<std::vector<std::byte>> streams;  // kept in place: the stream writes refer to them
    streams.reserve(sets.size());
    std::vector<cfb::StreamWrite> streamWrites;
    std::vector<cfb::StreamWrite> laterCreates;  // a second new stream takes a sequence of its own
    Failure refusal;
    for (const SetWrites& setWrites : sets) {
        if (setWrites.writes.empty()) continue;
        auto set = setToWrite(compoundFile, setWrites.fmtid);
        if (!set.ok()) {
            refusal = set.failure();
            break;
        }
        std::optional<std::vector<std::byte>> stream = set->stream;
        for (const PropertyWrite& write : setWrites.writes)
            if (refusal = applyWrite(stream, setWrites.fmtid, write); refusal.failed()) break;
        if (refusal.failed()) break;
        // Nothing to change (only removals of absent properties): no write of this set.
        if (!stream || stream == set->stream) continue;
        streams.push_back(std::move(*stream));
        const cfb::StreamWrite streamWrite{set->entryId, set->entryId ? std::u16string() : propertySetStreamName(setWrites.fmtid),
                                           streams.back()};
        const bool create = !set->entryId;
        const bool created = std::any_of(streamWrites.begin(), streamWrites.end(), [](const auto& w) { return !w.entryId; });
        (create && created ? laterCreates : streamWrites).push_back(streamWrite);
    }
    // Without any stream to write (only removals of absent properties), the same refusal of a
    // file too damaged to write into as a write would give.
    if (streamWrites.empty()) return refusal.failed() ? refusal : compoundFile.checkAllocation();
    if (Failure written = cfb::writeStreams(compoundFile, streamWrites); written.failed()) return written;
    for (const cfb::StreamWrite& create : laterCreates) {
        auto reopened = cfb::CompoundFile::open(file);
        if (!reopened.ok()) return reopened.failure();
        if (Failure written = cfb::writeStreams(reopened.value(), std::span(&create, 1)); written.failed()) return written;
    }
    return refusal;
}

Failure writePropertiesInto(RandomAccessFile& file, const props::Fmtid& fmtid, std::span<const PropertyWrite> writes)
{
    if (Failure refused = refusedId(writes); refused.failed()) return refused;
    if (writes.empty()) return {};
    const SetWrites set{fmtid, std::vector<PropertyWrite>(writes.begin(), writes.end())};
    return writeSetsInto(file, std::span(&set, 1));
}

bool writePropertyInto(RandomAccessFile& file, const props::Fmtid& fmtid, std::uint32_t propertyId, std::string_view text,
                       std::uint16_t valueType, FiletimeMeaning meaning)
{
    const PropertyWrite write{propertyId, std::string(text), valueType, meaning};
    return !writePropertiesInto(file, fmtid, std::span(&write, 1)).failed();
}

// The first section of a set as read from a file: nullopt when the set is absent, does not
// parse, or holds no section.
std::optional<PropertySetContent> contentOf(std::vector<std::byte> stream)
{
    auto layout = parsePropertySet(stream);
    if (!layout || layout->sections.empty()) return std::nullopt;
    return PropertySetContent{std::move(stream), std::move(layout->sections.front())};
}

}  // namespace

std::optional<PropertyValue> PropertySetContent::property(std::uint32_t propertyId) const
{
    return readProperty(stream, firstSection, propertyId);
}

Result<std::vector<std::optional<PropertySetContent>>> readPropertySets(const std::string& fileName,
                                                                        std::span<const props::Fmtid> fmtids)
{
    auto file = PosixFile::openOrFailure(fileName, OpenMode::ReadShared);
    if (!file.ok()) return file.failure();
    auto opened = cfb::CompoundFile::open(file.value());
    if (!opened.ok()) return opened.failure();
    cfb::CompoundFile& compoundFile = opened.value();
    std::vector<std::optional<PropertySetContent>> sets;
    for (const props::Fmtid& fmtid : fmtids) {
        const auto entryId = compoundFile.findRootStream(propertySetStreamName(fmtid));
        if (!entryId) {
            sets.emplace_back();
            continue;
        }
        auto stream = compoundFile.readStream(*entryId, kMaxPropertySetStreamBytes);
        if (!stream.ok()) return stream.failure();
        sets.push_back(contentOf(std::move(stream).value()));
    }
    return sets;
}

Failure writeDocPropertiesOrFailure(const std::string& fileName, const props::Fmtid& fmtid,
                                    std::span<const PropertyWrite> writes)
{
    return writeFileInPlace(fileName, [&](RandomAccessFile& file) { return writePropertiesInto(file, fmtid, writes); });
}

Failure writeDocPropertySetsOrFailure(const std::string& fileName, std::span<const SetWrites> sets)
{
    return writeFileInPlace(fileName, [&](RandomAccessFile& file) { return writeSetsInto(file, sets); });
}

Failure writeDocPropertySetsInto(RandomAccessFile& file, std::span<const SetWrites> sets)
{
    return writeSetsInto(file, sets);
}

Failure writeDocPropertiesInto(RandomAccessFile& file, const props::Fmtid& fmtid, std::span<const PropertyWrite> writes)
{
    return writePropertiesInto(file, fmtid, writes);
}

Result<std::vector<WritesReach>> reachOfWrites(const std::string& fileName, std::span<const SetWrites> sets)
{
    auto file = PosixFile::openOrFailure(fileName, OpenMode::ReadShared);
    if (!file.ok()) return file.failure();
    auto opened = cfb::CompoundFile::open(file.value());
    if (!opened.ok()) return opened.failure();
    std::vector<WritesReach> reaches;
    for (const SetWrites& setWrites : sets) {
        WritesReach reach;
        auto set = setToWrite(opened.value(), setWrites.fmtid);
        std::optional<std::vector<std::byte>> stream = set.ok() ? set->stream : std::nullopt;
        for (; reach.applied < setWrites.writes.size(); ++reach.applied) {
            const PropertyWrite& write = setWrites.writes[reach.applied];
            reach.failure = set.ok() ? refusedId(std::span(&write, 1)) : set.failure();
            if (!reach.failure.failed()) reach.failure = applyWrite(stream, setWrites.fmtid, write);
            if (reach.failure.failed()) break;
        }
        reaches.push_back(std::move(reach));
    }
    return reaches;
}

void InitPropertySetAccess() {}

void ShutdownPropertySetAccess() {}

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
    const PropertyWrite write{propertyId, std::string(valueText), valueType, FiletimeMeaning::Instant};
    return !writeDocPropertiesOrFailure(fileName, fmtid, std::span(&write, 1)).failed();
}

bool WriteEditTimeProperty(const std::string& fileName, const props::Fmtid& fmtid, std::uint32_t propertyId,
                           std::string_view valueText, std::uint16_t valueType)
{
    const PropertyWrite write{propertyId, std::string(valueText), valueType, FiletimeMeaning::Span};
    return !writeDocPropertiesOrFailure(fileName, fmtid, std::span(&write, 1)).failed();
}

bool WriteDocProperties(const std::string& fileName, const props::Fmtid& fmtid, std::span<const PropertyWrite> writes)
{
    return !writeDocPropertiesOrFailure(fileName, fmtid, writes).failed();
}

bool writeDocPropertyInto(RandomAccessFile& file, const props::Fmtid& fmtid, std::uint32_t propertyId,
                          std::string_view valueText, std::uint16_t valueType)
{
    return writePropertyInto(file, fmtid, propertyId, valueText, valueType, FiletimeMeaning::Instant);
}

bool writeEditTimePropertyInto(RandomAccessFile& file, const props::Fmtid& fmtid, std::uint32_t propertyId,
                               std::string_view valueText, std::uint16_t valueType)
{
    return writePropertyInto(file, fmtid, propertyId, valueText, valueType, FiletimeMeaning::Span);
}

}  // namespace quorvane::propset
