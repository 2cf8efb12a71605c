#include "zip/zip_end_record.h"

#include <algorithm>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "zip/zip_format.h"

namespace quorvane::zip {
namespace {

using namespace zip;

constexpr std::size_t kEndRecordSize = 22;       // without the comment
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kZip64EndRecordSize = 56;  // without extensible data
constexpr std::size_t kMaxCommentSize = 0xFFFF;

// Reads the ZIP64 locator ending at `locatorEnd` and the record it points to into `end`.
// False when there is no locator there; nullopt-worthy damage also gives false with `damaged`.
bool readZip64Records(RandomAccessFile& file, std::uint64_t locatorEnd, ZipEndRecord& end, bool& damaged)
{
    if (locatorEnd < kZip64LocatorSize) return false;
    std::byte locator[kZip64LocatorSize];
    if (!file.readAt(locatorEnd - kZip64LocatorSize, locator)) return false;
    ByteReader l(locator);
    if (l.u32() != kZip64LocatorSignature) return false;
    const std::uint32_t recordDisk = l.u32();
    const std::uint64_t recordOffset = l.u64();
    const std::uint32_t totalDisks = l.u32();
    damaged = true;
    if (recordDisk != 0 || totalDisks > 1) return false;
    if (recordOffset > locatorEnd - kZip64LocatorSize || locatorEnd - kZip64LocatorSize - recordOffset < kZip64EndRecordSize)
        return false;
    std::byte record[kZip64EndRecordSize];
    if (!file.readAt(recordOffset, record)) return false;
    ByteReader r(record);
    if (r.u32() != kZip64EndRecordSignature) return false;
    r.skip(8);  // size of the rest of the record
    end.zip64VersionMadeBy = r.u16();
    end.zip64VersionNeeded = r.u16();
    const std::uint32_t diskNumber = r.u32();
    const std::uint32_t centralDirDisk = r.u32();
    const std::uint64_t entriesOnDisk = r.u64();
    end.totalEntries = r.u64();
    end.centralDirSize = r.u64();
    end.centralDirOffset = r.u64();
    if (!r.ok() || diskNumber != 0 || centralDirDisk != 0 || entriesOnDisk != end.totalEntries) return false;
    end.hasZip64Records = true;
    end.endRecordsStart = recordOffset;
    damaged = false;
    return true;
}

}  // namespace

std::optional<ZipEndRecord> readEndRecord(RandomAccessFile& file)
{
    const auto fileSize = file.size();
    if (!fileSize || *fileSize < kEndRecordSize) return std::nullopt;
    const std::uint64_t tailSize = std::min<std::uint64_t>(*fileSize, kEndRecordSize + kMaxCommentSize);
    const std::uint64_t tailOffset = *fileSize - tailSize;
    std::vector<std::byte> tail(tailSize);
    if (!file.readAt(tailOffset, tail)) return std::nullopt;

    // Scan backwards: the record nearest the end whose comment fits is the archive's own; a
    // signature met earlier could lie inside a comment.
    for (std::size_t at = tail.size() - kEndRecordSize + 1; at-- > 0;) {
        ByteReader r(std::span<const std::byte>(tail).subspan(at));
        if (r.u32() != kEndRecordSignature) continue;
        const std::uint16_t diskNumber = r.u16();
        const std::uint16_t centralDirDisk = r.u16();
        const std::uint16_t entriesOnDisk = r.u16();
        const std::uint16_t totalEntries = r.u16();
        const std::uint32_t centralDirSize = r.u32();
        const std::uint32_t centralDirOffset = r.u32();
        const std::uint16_t commentSize = r.u16();
        const auto comment = r.bytes(commentSize);
        if (!r.ok()) continue;

        ZipEndRecord end;
        end.endRecordOffset = tailOffset + at;
        end.endRecordsStart = end.endRecordOffset;
        end.comment.assign(comment.begin(), comment.end());
        bool zip64Damaged = false;
        if (!readZip64Records(file, end.endRecordOffset, end, zip64Damaged)) {
            if (zip64Damaged) return std::nullopt;
            if (diskNumber != 0 || centralDirDisk != 0 || entriesOnDisk != totalEntries) return std::nullopt;
            end.totalEntries = totalEntries;
            end.centralDirSize = centralDirSize;
            end.centralDirOffset = centralDirOffset;
        } else if ((diskNumber != 0 && diskNumber != kNoValue16) ||
                   (centralDirDisk != 0 && centralDirDisk != kNoValue16)) {
            return std::nullopt;
        }
        const bool directoryFits = end.centralDirOffset <= end.endRecordsStart &&
                                   end.centralDirSize <= end.endRecordsStart - end.centralDirOffset;
        if (!directoryFits || end.centralDirSize > kMaxCentralDirBytes ||
            end.totalEntries > end.centralDirSize / kCentralRecordFixedSize)
            return std::nullopt;
        return end;
    }
    return std::nullopt;
}

void appendEndRecords(std::vector<std::byte>& out, const ZipEndRecord& original, std::uint64_t totalEntries,
                      std::uint64_t centralDirSize, std::uint64_t centralDirOffset, std::uint64_t endRecordsOffset)
{
    const bool needsZip64 = original.hasZip64Records || totalEntries >= kNoValue16 ||
                            centralDirSize >= kNoValue32 || centralDirOffset >= kNoValue32;
    ByteWriter w(out);
    if (needsZip64) {
        w.u32(kZip64EndRecordSignature);
        w.u64(kZip64EndRecordSize - 12);  // the rest of the record after this field
        w.u16(original.zip64VersionMadeBy);
        w.u16(original.zip64VersionNeeded);
        w.u32(0);  // this disk
        w.u32(0);  // disk of the central directory
        w.u64(totalEntries);
        w.u64(totalEntries);
        w.u64(centralDirSize);
        w.u64(centralDirOffset);
        w.u32(kZip64LocatorSignature);
        w.u32(0);
        w.u64(endRecordsOffset);
        w.u32(1);  // total disks
    }
    // With ZIP64 records present a value that does not fit is written as all ones (APPNOTE 4.4.1.4).
    const auto field16 = [&](std::uint64_t value) { return value >= kNoValue16 ? kNoValue16 : std::uint16_t(value); };
    const auto field32 = [&](std::uint64_t value) { return value >= kNoValue32 ? kNoValue32 : std::uint32_t(value); };
    w.u32(kEndRecordSignature);
    w.u16(0);
    w.u16(0);
    w.u16(field16(totalEntries));
    w.u16(field16(totalEntries));
    w.u32(field32(centralDirSize));
    w.u32(field32(centralDirOffset));
    w.u16(std::uint16_t(original.comment.size()));
    w.bytes(original.comment);
}

}  // namespace quorvane::zip
