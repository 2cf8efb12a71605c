#include "propset/property_set_access.h"

#include <sys/stat.h>

#include <charconv>
#include <vector>

#include "base/byte_reader.h"
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

std::optional<PosixFile> openFile(const std::string& fileName, OpenMode mode, Fault* fault)
{
    bool lockRefused = false;
    auto file = PosixFile::open(fileName, mode, &lockRefused);
    if (!file) *fault = lockRefused ? Fault::Locked : Fault::NotFound;
    return file;
}

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

// The stored bytes of the value to write; nullopt when the text has no form in that type
// (a character missing from the code page, or a type we do not write). Throws Error for a
// text that is not an integer (VT_INT) or not a date (VT_FILETIME instant).
std::optional<std::vector<std::byte>> typedValueOf(std::string_view text, std::uint16_t type, FiletimeMeaning meaning,
                                                   std::uint16_t codePage)
{
    switch (type) {
    case props::kVtLpstr: {
        const auto encoded = convert::encodeCodePage(text, codePage);
        if (!encoded) return std::nullopt;
        return typedCodePageString(*encoded, codePage);
    }
    case kVtLpwstr: {
        const auto encoded = convert::encodeCodePage(text, convert::kCodePageUtf16);
        if (!encoded) return std::nullopt;
        return typedUnicodeString(*encoded);
    }
    case kVtInt: return typedInt32(kVtInt, integerOf(text));
    case props::kVtFiletime:
        if (text.empty()) return typedNull();
        if (meaning == FiletimeMeaning::Span) return typedFiletime(std::uint64_t(convert::MinutesTextToFileTimeSpan(text)));
        return typedFiletime(convert::DateTimeToUtcFileTime(convert::DisplayTextToDateTime(text)));
    default: return std::nullopt;
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
std::optional<std::vector<std::byte>> patchedStream(std::span<const std::byte> stream, const PropertySetLayout& layout,
                                                    std::uint32_t propertyId, std::string_view text,
                                                    std::uint16_t valueType, FiletimeMeaning meaning)
{
    const Section& first = layout.sections.front();
    const auto declared = declaredCodePage(stream, first);
    const bool holdsText = !declared && holdsCodePageText(stream, first);
    const bool declareUtf16 = !declared && !holdsText && valueType == props::kVtLpstr;
    // A section without a code page is read as 1252; text written into one that already holds
    // text is encoded the same way, so that old and new values read alike.
    const std::uint16_t codePage = declared ? *declared : holdsText ? convert::kCodePageWindowsLatin1 : convert::kCodePageUtf16;
    const auto typed = typedValueOf(text, valueType, meaning, codePage);
    if (!typed) return std::nullopt;
    if (!declareUtf16) return setProperty(stream, propertyId, *typed);
    const auto withCodePage = setProperty(stream, kPidCodePage, typedI2(std::int16_t(convert::kCodePageUtf16)));
    if (!withCodePage) return std::nullopt;
    return setProperty(*withCodePage, propertyId, *typed);
}

// The set's stream with every write of `writes` applied in turn, starting from `stream` (nullopt:
// the set is missing or holds no section, and a new set is made with the first write). nullopt
// when a write cannot be applied.
std::optional<std::vector<std::byte>> streamWithWrites(std::optional<std::vector<std::byte>> stream,
                                                       const props::Fmtid& fmtid, std::span<const PropertyWrite> writes)
{
    for (const PropertyWrite& write : writes) {
        const FiletimeMeaning meaning = write.meaning;
        if (!stream) {
            const auto typed = typedValueOf(write.valueText, write.valueType, meaning, convert::kCodePageUtf16);
            if (!typed) return std::nullopt;
            stream = newPropertySet(fmtid, write.propertyId, *typed);
            continue;
        }
        const auto layout = parsePropertySet(*stream);
        if (!layout || layout->sections.empty()) return std::nullopt;
        auto patched = patchedStream(*stream, *layout, write.propertyId, write.valueText, write.valueType, meaning);
        if (!patched) return std::nullopt;
        stream = std::move(*patched);
    }
    return stream;
}

bool writePropertiesInto(RandomAccessFile& file, const props::Fmtid& fmtid, std::span<const PropertyWrite> writes)
{
    // Property 0 is the dictionary, 1 the code page (fixed once a set holds values), and ids
    // from 0x80000000 up are reserved: none of them is written as a value.
    for (const PropertyWrite& write : writes)
        if (write.propertyId <= kPidCodePage || write.propertyId >= kFirstReadOnlyPropertyId) return false;
    if (writes.empty()) return true;
    Fault fault = Fault::None;
    auto compoundFile = cfb::CompoundFile::open(file, &fault);
    if (!compoundFile) return false;

    const std::u16string streamName = propertySetStreamName(fmtid);
    const auto entryId = compoundFile->findRootStream(streamName);
    std::optional<std::vector<std::byte>> oldStream;
    if (entryId) {
        auto stream = compoundFile->readStream(*entryId, kMaxPropertySetStreamBytes, &fault);
        if (!stream) return false;
        const auto layout = parsePropertySet(*stream);
        if (!layout) return false;  // unreadable: not replaced, so that nothing is lost
        // A set without any section holds nothing: a new set takes its place.
        if (!layout->sections.empty()) oldStream = std::move(*stream);
    }
    const auto newStream = streamWithWrites(std::move(oldStream), fmtid, writes);
    if (!newStream) return false;
    return entryId ? cfb::replaceStream(*compoundFile, *entryId, *newStream, &fault)
                   : cfb::createRootStream(*compoundFile, streamName, *newStream, &fault);
}

bool writePropertyInto(RandomAccessFile& file, const props::Fmtid& fmtid, std::uint32_t propertyId, std::string_view text,
                       std::uint16_t valueType, FiletimeMeaning meaning)
{
    const PropertyWrite write{propertyId, std::string(text), valueType, meaning};
    return writePropertiesInto(file, fmtid, std::span(&write, 1));
}

bool writeProperties(const std::string& fileName, const props::Fmtid& fmtid, std::span<const PropertyWrite> writes)
{
    Fault fault = Fault::None;
    auto file = openFile(fileName, OpenMode::ReadWriteExclusive, &fault);
    struct stat info {};
    if (!file || ::fstat(file->fd(), &info) != 0 || (info.st_mode & 0222) == 0) return false;
    const bool written = writePropertiesInto(*file, fmtid, writes);
    const bool closed = file->close();
    return written && closed;
}

}  // namespace

void InitPropertySetAccess() {}

void ShutdownPropertySetAccess() {}

std::optional<PropertyValue> readPropertyValue(const std::string& fileName, const props::Fmtid& fmtid,
                                               std::uint32_t propertyId, Fault* fault)
{
    auto file = openFile(fileName, OpenMode::ReadShared, fault);
    if (!file) return std::nullopt;
    auto compoundFile = cfb::CompoundFile::open(*file, fault);
    if (!compoundFile) return std::nullopt;
    *fault = Fault::NotFound;
    const auto entryId = compoundFile->findRootStream(propertySetStreamName(fmtid));
    if (!entryId) return std::nullopt;
    const auto stream = compoundFile->readStream(*entryId, kMaxPropertySetStreamBytes, fault);
    if (!stream) return std::nullopt;
    *fault = Fault::Corrupt;
    const auto layout = parsePropertySet(*stream);
    if (!layout) return std::nullopt;
    *fault = Fault::NotFound;
    if (layout->sections.empty()) return std::nullopt;
    auto value = readProperty(*stream, layout->sections.front(), propertyId);
    if (value) *fault = Fault::None;
    return value;
}

Fault probeCompoundFile(const std::string& fileName)
{
    Fault fault = Fault::None;
    auto file = openFile(fileName, OpenMode::ReadShared, &fault);
    if (file) cfb::CompoundFile::open(*file, &fault);
    return fault;
}

std::string ReadDocProperty(const std::string& fileName, const props::Fmtid& fmtid, std::uint32_t propertyId)
{
    Fault fault = Fault::None;
    const auto value = readPropertyValue(fileName, fmtid, propertyId, &fault);
    return value ? PropertyValueToText(*value) : std::string();
}

std::string ReadEditTimeProperty(const std::string& fileName, const props::Fmtid& fmtid, std::uint32_t propertyId)
{
    Fault fault = Fault::None;
    const auto value = readPropertyValue(fileName, fmtid, propertyId, &fault);
    return value ? EditTimeValueToText(*value) : std::string();
}

bool WriteDocProperty(const std::string& fileName, const props::Fmtid& fmtid, std::uint32_t propertyId,
                      std::string_view valueText, std::uint16_t valueType)
{
    const PropertyWrite write{propertyId, std::string(valueText), valueType, FiletimeMeaning::Instant};
    return writeProperties(fileName, fmtid, std::span(&write, 1));
}

bool WriteEditTimeProperty(const std::string& fileName, const props::Fmtid& fmtid, std::uint32_t propertyId,
                           std::string_view valueText, std::uint16_t valueType)
{
    const PropertyWrite write{propertyId, std::string(valueText), valueType, FiletimeMeaning::Span};
    return writeProperties(fileName, fmtid, std::span(&write, 1));
}

bool WriteDocProperties(const std::string& fileName, const props::Fmtid& fmtid, std::span<const PropertyWrite> writes)
{
    return writeProperties(fileName, fmtid, writes);
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
