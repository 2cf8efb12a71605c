// SPDX-License-Identifier: Apache-2.0
#include "zip/zip_rewrite.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <optional>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "base/error.h"
#include "base/temp_file.h"
#include "zip/zip_codec.h"
#include "zip/zip_entry_extract.h"
#include "zip/zip_failure.h"
#include "zip/zip_format.h"

namespace quorvane::zip {
namespace {

using namespace zip;

constexpr std::uint16_t kVersionDeflate = 20;
constexpr std::uint16_t kVersionZip64 = 45;

// Offsets of the fields of a central record (APPNOTE 4.3.12) that a replacement keeps.
constexpr std::size_t kRecordVersionMadeBy = 4;
constexpr std::size_t kRecordTimeAndDate = 12;
constexpr std::size_t kRecordNameSize = 28;
constexpr std::size_t kRecordInternalAttributes = 36;

// What an added entry's record takes where a replaced one keeps the old entry's: made by MS-DOS
// version 2.0 (4.4.2), last modified 1980-01-01 00:00 in MS-DOS time and date (4.4.6, as Office
// stamps every part of a package), no internal or external attributes.
constexpr std::byte kAddedVersionMadeBy[2] = {std::byte{kVersionDeflate}, std::byte{0}};
constexpr std::byte kAddedTimeAndDate[4] = {std::byte{0}, std::byte{0}, std::byte{0x21}, std::byte{0}};
constexpr std::byte kAddedAttributes[6] = {};

// The blocks of an extra field other than ZIP64 ones, whose values belong to the old data. A
// malformed field is dropped whole.
std::vector<std::byte> extraWithoutZip64(std::span<const std::byte> extra)
{
    std::vector<std::byte> kept;
    ByteReader r(extra);
    while (r.remaining() > 0) {
        const std::size_t blockStart = r.position();
        const std::uint16_t id = r.u16();
        const std::uint16_t size = r.u16();
        r.skip(size);
        if (!r.ok()) return {};
        if (id != kZip64ExtraId) {
            const auto block = extra.subspan(blockStart, r.position() - blockStart);
            kept.insert(kept.end(), block.begin(), block.end());
        }
    }
    return kept;
}

Failure tooLargeForRecords() { return {FailureKind::Unsupported, "the archive is too large for its records"}; }

// New content, deflated, with the values its records carry.
struct DeflatedContent {
    std::uint32_t crc32 = 0;
    std::uint32_t uncompressedSize = 0;
    std::uint32_t compressedSize = 0;
    std::vector<std::byte> compressed;
};

Result<DeflatedContent> deflateContent(std::span<const std::byte> content)
{
    auto compressed = deflateAtLevel6(content);
    if (!compressed) return Failure(FailureKind::Io, "the compressor failed");
    if (compressed->size() >= kNoValue32 || content.size() >= kNoValue32) return tooLargeForRecords();
    return DeflatedContent{crc32Of(content), std::uint32_t(content.size()), std::uint32_t(compressed->size()),
                           std::move(compressed).value()};
}

// A local header (4.3.7) followed by the deflated data; the extra field has no ZIP64 block, as
// no size needs one.
std::vector<std::byte> localRecordOf(std::uint16_t flags, std::span<const std::byte> timeAndDate,
                                     const DeflatedContent& content, std::span<const std::byte> name,
                                     std::span<const std::byte> extra)
{
    std::vector<std::byte> out;
    ByteWriter w(out);
    w.u32(kLocalHeaderSignature);
    w.u16(kVersionDeflate);
    w.u16(flags);
    w.u16(kMethodDeflated);
    w.bytes(timeAndDate);
    w.u32(content.crc32);
    w.u32(content.compressedSize);
    w.u32(content.uncompressedSize);
    w.u16(std::uint16_t(name.size()));
    w.u16(std::uint16_t(extra.size()));
    w.bytes(name);
    w.bytes(extra);
    w.bytes(content.compressed);
    return out;
}

// The parts of a central record that do not come from the new content.
struct RecordFields {
    std::span<const std::byte> versionMadeBy;  // 2 bytes
    std::uint16_t flags = 0;
    std::span<const std::byte> timeAndDate;    // 4 bytes
    std::span<const std::byte> name;
    std::span<const std::byte> extra;          // without ZIP64 blocks
    std::span<const std::byte> comment;
    std::span<const std::byte> attributes;     // internal and external, 6 bytes
};

// The central record (4.3.12) of deflated `content` whose local header is at `offset`, with a
// ZIP64 field only where the offset needs it; nullopt when the extra field outgrows its size field.
std::optional<std::vector<std::byte>> centralRecordOf(const RecordFields& fields, const DeflatedContent& content,
                                                      std::uint64_t offset)
{
    const bool offsetNeedsZip64 = offset >= kNoValue32;
    std::vector<std::byte> extra(fields.extra.begin(), fields.extra.end());
    if (offsetNeedsZip64) {
        ByteWriter e(extra);
        e.u16(kZip64ExtraId);
        e.u16(8);
        e.u64(offset);
    }
    if (extra.size() > 0xFFFF) return std::nullopt;

    std::vector<std::byte> out;
    ByteWriter w(out);
    w.u32(kCentralRecordSignature);
    w.bytes(fields.versionMadeBy);
    w.u16(offsetNeedsZip64 ? kVersionZip64 : kVersionDeflate);
    w.u16(fields.flags);
    w.u16(kMethodDeflated);
    w.bytes(fields.timeAndDate);
    w.u32(content.crc32);
    w.u32(content.compressedSize);
    w.u32(content.uncompressedSize);
    w.u16(std::uint16_t(fields.name.size()));
    w.u16(std::uint16_t(extra.size()));
    w.u16(std::uint16_t(fields.comment.size()));
    w.u16(0);  // disk number start
    w.bytes(fields.attributes);
    w.u32(offsetNeedsZip64 ? kNoValue32 : std::uint32_t(offset));
    w.bytes(fields.name);
    w.bytes(extra);
    w.bytes(fields.comment);
    return out;
}

// An entry whose bytes are not copied, prepared before anything is written: a replaced entry
// with its new local record, or a removed one with none.
struct EditedEntry {
    std::size_t entryIndex = 0;
    std::uint64_t oldOffset = 0;     // its local header in the source
    std::uint64_t oldExtentEnd = 0;  // the next local header, or the central directory
    std::uint64_t newOffset = 0;
    bool removed = false;
    DeflatedContent content;
    std::vector<std::byte> localRecord;  // local header followed by the deflated content
};

std::span<const std::byte> recordOf(const ZipDirectory& directory, const ZipEntry& entry)
{
    return std::span<const std::byte>(directory.centralDir).subspan(entry.recordOffset, entry.recordSize);
}

// Where the bytes of entry `index` lie: from its local header to the next one, or to the central
// directory. Damaged when another entry shares its local header, as the edit would change both.
Failure locateExtent(const ZipDirectory& directory, std::size_t index, EditedEntry& out)
{
    const ZipEntry& entry = directory.entries.at(index);
    out.entryIndex = index;
    out.oldOffset = entry.localHeaderOffset;
    out.oldExtentEnd = directory.end.centralDirOffset;
    for (const ZipEntry& other : directory.entries) {
        if (&other == &entry) continue;
        if (other.localHeaderOffset == entry.localHeaderOffset)
            return damagedArchive(entry.name + " shares its local header with " + other.name);
        if (other.localHeaderOffset > entry.localHeaderOffset)
            out.oldExtentEnd = std::min(out.oldExtentEnd, other.localHeaderOffset);
    }
    return {};
}

Failure prepareReplacement(RandomAccessFile& source, const ZipDirectory& directory, const EntryReplacement& request,
                           EditedEntry& out)
{
    if (Failure failure = locateExtent(directory, request.entryIndex, out); failure.failed()) return failure;
    const ZipEntry& entry = directory.entries[request.entryIndex];
    const auto header = localHeaderOf(source, directory, request.entryIndex);
    if (!header.ok()) return header.failure();
    auto content = deflateContent(request.content);
    if (!content.ok()) return content.failure();
    out.content = std::move(content).value();
    const std::vector<std::byte> extra = extraWithoutZip64(header->extra);
    if (extra.size() > 0xFFFF) return tooLargeForRecords();
    const auto timeAndDate = recordOf(directory, entry).subspan(kRecordTimeAndDate, 4);
    out.localRecord = localRecordOf(entry.flags & kFlagUtf8Name, timeAndDate, out.content,
                                    std::as_bytes(std::span(entry.name)), extra);
    return {};
}

// The central record of a replaced entry: the old one with the new method, CRC, sizes and
// offset, its ZIP64 field kept only where the new offset needs it.
std::optional<std::vector<std::byte>> replacedRecord(const ZipDirectory& directory, const EditedEntry& replacement)
{
    const ZipEntry& entry = directory.entries[replacement.entryIndex];
    const auto record = recordOf(directory, entry);
    ByteReader r(record);
    r.seek(kRecordNameSize);
    const std::uint16_t nameSize = r.u16();
    const std::uint16_t extraSize = r.u16();
    const std::uint16_t commentSize = r.u16();
    const std::vector<std::byte> extra =
        extraWithoutZip64(record.subspan(kCentralRecordFixedSize + nameSize, extraSize));
    const RecordFields fields{record.subspan(kRecordVersionMadeBy, 2),
                              std::uint16_t(entry.flags & kFlagUtf8Name),
                              record.subspan(kRecordTimeAndDate, 4),
                              record.subspan(kCentralRecordFixedSize, nameSize),
                              extra,
                              record.subspan(kCentralRecordFixedSize + nameSize + extraSize, commentSize),
                              record.subspan(kRecordInternalAttributes, 6)};
    return centralRecordOf(fields, replacement.content, replacement.newOffset);
}

// An added entry, prepared before anything is written.
struct AddedEntry {
    std::span<const std::byte> name;
    std::uint16_t flags = 0;
    std::uint64_t newOffset = 0;
    DeflatedContent content;
    std::vector<std::byte> localRecord;
};

Failure prepareAddition(const EntryAddition& request, AddedEntry& out)
{
    out.name = std::as_bytes(std::span(request.name));
    if (out.name.size() > 0xFFFF) return tooLargeForRecords();
    // APPNOTE 4.4.4 bit 11: a name that is not ASCII is stored as UTF-8.
    const bool ascii = std::all_of(request.name.begin(), request.name.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    out.flags = ascii ? 0 : kFlagUtf8Name;
    auto content = deflateContent(request.content);
    if (!content.ok()) return content.failure();
    out.content = std::move(content).value();
    out.localRecord = localRecordOf(out.flags, kAddedTimeAndDate, out.content, out.name, {});
    return {};
}

// Where an entry that is not edited lands: its old offset moved by the growth of every replaced
// entry before it and the size of every removed one.
std::uint64_t movedOffset(std::uint64_t oldOffset, std::span<const EditedEntry> edited)
{
    std::uint64_t offset = oldOffset;
    for (const EditedEntry& e : edited) {
        if (e.oldOffset >= oldOffset) break;
        offset = offset + e.localRecord.size() - (e.oldExtentEnd - e.oldOffset);
    }
    return offset;
}

// The replacements and removals, sorted by their place in the source.
Result<std::vector<EditedEntry>> prepareEdited(RandomAccessFile& source, const ZipDirectory& directory,
                                               const ArchiveEdits& edits)
{
    std::vector<EditedEntry> edited(edits.replacements.size() + edits.removals.size());
    for (std::size_t i = 0; i < edits.replacements.size(); ++i)
        if (Failure failure = prepareReplacement(source, directory, edits.replacements[i], edited[i]); failure.failed())
            return failure;
    for (std::size_t i = 0; i < edits.removals.size(); ++i) {
        EditedEntry& removal = edited[edits.replacements.size() + i];
        if (Failure failure = locateExtent(directory, edits.removals[i], removal); failure.failed()) return failure;
        removal.removed = true;
    }
    std::sort(edited.begin(), edited.end(),
              [](const EditedEntry& a, const EditedEntry& b) { return a.oldOffset < b.oldOffset; });
    for (std::size_t i = 1; i < edited.size(); ++i)
        if (edited[i].entryIndex == edited[i - 1].entryIndex)
            return damagedArchive("two edits name " + directory.entries[edited[i].entryIndex].name);
    return edited;
}

Result<std::vector<AddedEntry>> prepareAdded(const ZipDirectory& directory, std::span<const EditedEntry> edited,
                                             const ArchiveEdits& edits)
{
    std::vector<AddedEntry> added(edits.additions.size());
    for (std::size_t i = 0; i < edits.additions.size(); ++i) {
        const std::string& name = edits.additions[i].name;
        bool taken = std::any_of(edits.additions.begin(), edits.additions.begin() + std::ptrdiff_t(i),
                                 [&](const EntryAddition& a) { return a.name == name; });
        for (std::size_t e = 0; e < directory.entries.size() && !taken; ++e)
            taken = directory.entries[e].name == name &&
                    std::none_of(edited.begin(), edited.end(),
                                 [e](const EditedEntry& r) { return r.removed && r.entryIndex == e; });
        if (taken) return Failure(FailureKind::Unsupported, "the archive already holds an entry named " + name);
        if (Failure failure = prepareAddition(edits.additions[i], added[i]); failure.failed()) return failure;
    }
    return added;
}

}  // namespace

Failure rewriteArchiveInto(RandomAccessFile& source, const ZipDirectory& directory, const ArchiveEdits& edits,
                           RandomAccessFile& target)
{
    auto preparedEdited = prepareEdited(source, directory, edits);
    if (!preparedEdited.ok()) return preparedEdited.failure();
    std::vector<EditedEntry>& edited = preparedEdited.value();
    auto preparedAdded = prepareAdded(directory, edited, edits);
    if (!preparedAdded.ok()) return preparedAdded.failure();
    std::vector<AddedEntry>& added = preparedAdded.value();

    // A copy or write that fails leaves its reason in errno (a short read of the source, none).
    const auto ioFailure = [] { return Failure::fromErrno(errno); };
    std::uint64_t in = 0;
    std::uint64_t out = 0;
    errno = 0;
    for (EditedEntry& e : edited) {
        if (!target.copyFrom(source, in, e.oldOffset - in, out)) return ioFailure();
        out += e.oldOffset - in;
        e.newOffset = out;
        if (!e.localRecord.empty() && !target.writeAt(out, e.localRecord)) return ioFailure();
        out += e.localRecord.size();
        in = e.oldExtentEnd;
    }
    if (!target.copyFrom(source, in, directory.end.centralDirOffset - in, out)) return ioFailure();
    out += directory.end.centralDirOffset - in;
    for (AddedEntry& a : added) {
        a.newOffset = out;
        if (!target.writeAt(out, a.localRecord)) return ioFailure();
        out += a.localRecord.size();
    }

    const std::uint64_t centralDirOffset = out;
    std::vector<std::byte> centralDir;
    centralDir.reserve(directory.centralDir.size() + 64 * (edited.size() + added.size()));
    std::size_t recordsEnd = 0;
    for (std::size_t i = 0; i < directory.entries.size(); ++i) {
        const ZipEntry& entry = directory.entries[i];
        recordsEnd = entry.recordOffset + entry.recordSize;
        const auto edit =
            std::find_if(edited.begin(), edited.end(), [i](const EditedEntry& e) { return e.entryIndex == i; });
        if (edit != edited.end()) {
            if (edit->removed) continue;
            const auto record = replacedRecord(directory, *edit);
            if (!record) return tooLargeForRecords();
            centralDir.insert(centralDir.end(), record->begin(), record->end());
            continue;
        }
        const std::uint64_t offset = movedOffset(entry.localHeaderOffset, edited);
        if (entry.localHeaderOffsetWidth == 4 && offset >= kNoValue32) return tooLargeForRecords();
        const auto record = recordOf(directory, entry);
        const std::size_t start = centralDir.size();
        centralDir.insert(centralDir.end(), record.begin(), record.end());
        patchLittle(std::span(centralDir).subspan(start), entry.localHeaderOffsetField, offset,
                    entry.localHeaderOffsetWidth);
    }
    for (const AddedEntry& a : added) {
        const RecordFields fields{kAddedVersionMadeBy, a.flags, kAddedTimeAndDate, a.name, {}, {}, kAddedAttributes};
        const auto record = centralRecordOf(fields, a.content, a.newOffset);
        if (!record) return tooLargeForRecords();
        centralDir.insert(centralDir.end(), record->begin(), record->end());
    }
    // Whatever follows the last record inside the directory (a digital signature) stays as it is.
    const auto trailer = std::span<const std::byte>(directory.centralDir).subspan(recordsEnd);
    centralDir.insert(centralDir.end(), trailer.begin(), trailer.end());
    const std::uint64_t centralDirSize = centralDir.size();
    const std::uint64_t totalEntries = directory.entries.size() - edits.removals.size() + added.size();
    appendEndRecords(centralDir, directory.end, totalEntries, centralDirSize, centralDirOffset,
                     centralDirOffset + centralDirSize);
    if (!target.writeAt(centralDirOffset, centralDir)) return ioFailure();
    return {};
}

Failure rewriteArchiveInto(RandomAccessFile& source, const ZipDirectory& directory,
                           std::span<const EntryReplacement> replacements, RandomAccessFile& target)
{
    return rewriteArchiveInto(source, directory, ArchiveEdits{.replacements = replacements}, target);
}

Failure editArchive(const std::string& path, RandomAccessFile& source, const ZipDirectory& directory,
                    const ArchiveEdits& edits, unsigned permissionBits, const FinalMetadata* finalMetadata,
                    const TargetWrapper& wrapTarget)
{
    auto created = TempFile::createBeside(path, finalMetadata);
    if (!created.ok()) return created.failure();
    TempFile& temp = created.value();
    if (const Failure failure = rewriteArchiveInto(source, directory, edits, temp.writtenThrough(wrapTarget));
        failure.failed())
        return failure;
    if (const Failure failure = temp.setMode(permissionBits); failure.failed()) return failure;
    return temp.commit(path, finalMetadata);
}

}  // namespace quorvane::zip
