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

// A replaced entry, prepared before anything is written.
struct Replacement {
    std::size_t entryIndex = 0;
    std::uint64_t oldOffset = 0;     // its local header in the source
    std::uint64_t oldExtentEnd = 0;  // the next local header, or the central directory
    std::uint64_t newOffset = 0;
    std::uint32_t crc32 = 0;
    std::uint32_t uncompressedSize = 0;
    std::uint32_t compressedSize = 0;
    std::vector<std::byte> localRecord;  // local header followed by the deflated content
};

std::span<const std::byte> recordOf(const ZipDirectory& directory, const ZipEntry& entry)
{
    return std::span<const std::byte>(directory.centralDir).subspan(entry.recordOffset, entry.recordSize);
}

Failure tooLargeForRecords() { return {FailureKind::Unsupported, "the archive is too large for its records"}; }

Failure prepare(RandomAccessFile& source, const ZipDirectory& directory, const EntryReplacement& request,
                Replacement& out)
{
    const ZipEntry& entry = directory.entries.at(request.entryIndex);
    const auto header = localHeaderOf(source, directory, request.entryIndex);
    if (!header.ok()) return header.failure();
    auto compressed = deflateAtLevel6(request.content);
    if (!compressed) return {FailureKind::Io, "the compressor failed"};
    if (compressed->size() >= kNoValue32 || request.content.size() >= kNoValue32) return tooLargeForRecords();

    out.entryIndex = request.entryIndex;
    out.oldOffset = entry.localHeaderOffset;
    out.oldExtentEnd = directory.end.centralDirOffset;
    for (const ZipEntry& other : directory.entries) {
        if (&other == &entry) continue;
        if (other.localHeaderOffset == entry.localHeaderOffset)
            return damagedArchive(entry.name + " shares its local header with " + other.name);
        if (other.localHeaderOffset > entry.localHeaderOffset)
            out.oldExtentEnd = std::min(out.oldExtentEnd, other.localHeaderOffset);
    }
    out.crc32 = crc32Of(request.content);
    out.uncompressedSize = std::uint32_t(request.content.size());
    out.compressedSize = std::uint32_t(compressed->size());

    const auto record = recordOf(directory, entry);
    const std::vector<std::byte> extra = extraWithoutZip64(header->extra);
    if (extra.size() > 0xFFFF) return tooLargeForRecords();
    ByteWriter w(out.localRecord);
    w.u32(kLocalHeaderSignature);
    w.u16(kVersionDeflate);
    w.u16(entry.flags & kFlagUtf8Name);
    w.u16(kMethodDeflated);
    w.bytes(record.subspan(kRecordTimeAndDate, 4));
    w.u32(out.crc32);
    w.u32(out.compressedSize);
    w.u32(out.uncompressedSize);
    w.u16(std::uint16_t(entry.name.size()));
    w.u16(std::uint16_t(extra.size()));
    w.bytes(std::as_bytes(std::span(entry.name)));
    w.bytes(extra);
    w.bytes(*compressed);
    return {};
}

// The central record of a replaced entry: the old one with the new method, CRC, sizes and
// offset, its ZIP64 field kept only where the new offset needs it.
std::optional<std::vector<std::byte>> replacedRecord(const ZipDirectory& directory, const Replacement& replacement)
{
    const ZipEntry& entry = directory.entries[replacement.entryIndex];
    const auto record = recordOf(directory, entry);
    ByteReader r(record);
    r.seek(kRecordNameSize);
    const std::uint16_t nameSize = r.u16();
    const std::uint16_t extraSize = r.u16();
    const std::uint16_t commentSize = r.u16();
    const auto extraBytes = record.subspan(kCentralRecordFixedSize + nameSize, extraSize);
    const auto comment = record.subspan(kCentralRecordFixedSize + nameSize + extraSize, commentSize);

    const bool offsetNeedsZip64 = replacement.newOffset >= kNoValue32;
    std::vector<std::byte> extra = extraWithoutZip64(extraBytes);
    if (offsetNeedsZip64) {
        ByteWriter e(extra);
        e.u16(kZip64ExtraId);
        e.u16(8);
        e.u64(replacement.newOffset);
    }
    if (extra.size() > 0xFFFF) return std::nullopt;

    std::vector<std::byte> out;
    ByteWriter w(out);
    w.u32(kCentralRecordSignature);
    w.bytes(record.subspan(kRecordVersionMadeBy, 2));
    w.u16(offsetNeedsZip64 ? kVersionZip64 : kVersionDeflate);
    w.u16(entry.flags & kFlagUtf8Name);
    w.u16(kMethodDeflated);
    w.bytes(record.subspan(kRecordTimeAndDate, 4));
    w.u32(replacement.crc32);
    w.u32(replacement.compressedSize);
    w.u32(replacement.uncompressedSize);
    w.u16(nameSize);
    w.u16(std::uint16_t(extra.size()));
    w.u16(commentSize);
    w.u16(0);  // disk number start
    w.bytes(record.subspan(kRecordInternalAttributes, 6));
    w.u32(offsetNeedsZip64 ? kNoValue32 : std::uint32_t(replacement.newOffset));
    w.bytes(record.subspan(kCentralRecordFixedSize, nameSize));
    w.bytes(extra);
    w.bytes(comment);
    return out;
}

// Where an entry that is not replaced lands: its old offset moved by the growth of every
// replaced entry before it.
std::uint64_t movedOffset(std::uint64_t oldOffset, std::span<const Replacement> replacements)
{
    std::uint64_t offset = oldOffset;
    for (const Replacement& r : replacements) {
        if (r.oldOffset >= oldOffset) break;
        offset = offset + r.localRecord.size() - (r.oldExtentEnd - r.oldOffset);
    }
    return offset;
}

}  // namespace

Failure rewriteArchiveInto(RandomAccessFile& source, const ZipDirectory& directory,
                           std::span<const EntryReplacement> replacements, RandomAccessFile& target)
{
    std::vector<Replacement> prepared(replacements.size());
    for (std::size_t i = 0; i < replacements.size(); ++i) {
        if (const Failure failure = prepare(source, directory, replacements[i], prepared[i]); failure.failed())
            return failure;
    }
    std::sort(prepared.begin(), prepared.end(),
              [](const Replacement& a, const Replacement& b) { return a.oldOffset < b.oldOffset; });
    for (std::size_t i = 1; i < prepared.size(); ++i)
        if (prepared[i].entryIndex == prepared[i - 1].entryIndex)
            return damagedArchive("two replacements name " + directory.entries[prepared[i].entryIndex].name);

    // A copy or write that fails leaves its reason in errno (a short read of the source, none).
    const auto ioFailure = [] { return Failure::fromErrno(errno); };
    std::uint64_t in = 0;
    std::uint64_t out = 0;
    errno = 0;
    for (Replacement& r : prepared) {
        if (!target.copyFrom(source, in, r.oldOffset - in, out)) return ioFailure();
        out += r.oldOffset - in;
        r.newOffset = out;
        if (!target.writeAt(out, r.localRecord)) return ioFailure();
        out += r.localRecord.size();
        in = r.oldExtentEnd;
    }
    if (!target.copyFrom(source, in, directory.end.centralDirOffset - in, out)) return ioFailure();
    out += directory.end.centralDirOffset - in;

    const std::uint64_t centralDirOffset = out;
    std::vector<std::byte> centralDir;
    centralDir.reserve(directory.centralDir.size() + 64 * prepared.size());
    std::size_t recordsEnd = 0;
    for (std::size_t i = 0; i < directory.entries.size(); ++i) {
        const ZipEntry& entry = directory.entries[i];
        recordsEnd = entry.recordOffset + entry.recordSize;
        const auto replaced = std::find_if(prepared.begin(), prepared.end(),
                                           [i](const Replacement& r) { return r.entryIndex == i; });
        if (replaced != prepared.end()) {
            const auto record = replacedRecord(directory, *replaced);
            if (!record) return tooLargeForRecords();
            centralDir.insert(centralDir.end(), record->begin(), record->end());
            continue;
        }
        const std::uint64_t offset = movedOffset(entry.localHeaderOffset, prepared);
        if (entry.localHeaderOffsetWidth == 4 && offset >= kNoValue32) return tooLargeForRecords();
        const auto record = recordOf(directory, entry);
        const std::size_t start = centralDir.size();
        centralDir.insert(centralDir.end(), record.begin(), record.end());
        patchLittle(std::span(centralDir).subspan(start), entry.localHeaderOffsetField, offset,
                    entry.localHeaderOffsetWidth);
    }
    // Whatever follows the last record inside the directory (a digital signature) stays as it is.
    const auto trailer = std::span<const std::byte>(directory.centralDir).subspan(recordsEnd);
    centralDir.insert(centralDir.end(), trailer.begin(), trailer.end());
    const std::uint64_t centralDirSize = centralDir.size();
    appendEndRecords(centralDir, directory.end, directory.entries.size(), centralDirSize, centralDirOffset,
                     centralDirOffset + centralDirSize);
    if (!target.writeAt(centralDirOffset, centralDir)) return ioFailure();
    return {};
}

Failure replaceEntries(const std::string& path, RandomAccessFile& source, const ZipDirectory& directory,
                       std::span<const EntryReplacement> replacements, unsigned permissionBits,
                       const TargetWrapper& wrapTarget)
{
    auto created = TempFile::createBeside(path);
    if (!created.ok()) return created.failure();
    TempFile& temp = created.value();
    RandomAccessFile& target = wrapTarget ? wrapTarget(temp.file()) : temp.file();
    if (const Failure failure = rewriteArchiveInto(source, directory, replacements, target); failure.failed())
        return failure;
    // Mode before sync: one sync makes both durable, and the one in commit finds nothing to write.
    if (const Failure failure = temp.setMode(permissionBits); failure.failed()) return failure;
    errno = 0;
    if (!target.sync()) return Failure::fromErrno(errno);
    return temp.commit(path);
}

void ReplaceEntriesFromMemory(const std::string& path, RandomAccessFile& source, const ZipDirectory& directory,
                              std::span<const EntryReplacement> replacements, unsigned permissionBits,
                              const TargetWrapper& wrapTarget)
{
    const Failure failure = replaceEntries(path, source, directory, replacements, permissionBits, wrapTarget);
    if (!failure.failed()) return;
    std::string reason = failure.text();
    reason[0] = char(std::toupper(static_cast<unsigned char>(reason[0])));
    throw Error("Cannot rewrite the package '" + path + "': " + reason);
}

}  // namespace quorvane::zip
