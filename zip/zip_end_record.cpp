// SPDX-License-Identifier: Apache-2.0
#include "zip/zip_end_record.h"

#include <algorithm>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "zip/zip_failure.h"
#include "zip/zip_format.h"

namespace quorvane::zip {
namespace {

using namespace zip;

constexpr std::size_t kEndRecordSize = 22;       // without the comment
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kZip64EndRecordSize = 56;  // without extensible data
constexpr std::size_t kMaxCommentSize = 0xFFFF;

// Reads the ZIP64 locator ending at `locatorEnd` (APPNOTE 4.3.15) and the record it points to
// (4.3.14) into `end`. False with `failure` left empty when no locator stands there; false with
// the reason when a locator does but its records are damaged or name another disk.
bool readZip64Records(RandomAccessFile& file, std::uint64_t locatorEnd, ZipEndRecord& end, Failure& failure)
{
    if (locatorEnd < kZip64LocatorSize) return false;
    std::byte locator[kZip64LocatorSize];
    if (!file.readAt(locatorEnd - kZip64LocatorSize, locator)) return false;
    ByteReader l(locator);
    if (l.u32() != kZip64LocatorSignature) return false;
    const std::uint32_t recordDisk = l.u32();
    const std::uint64_t recordOffset = l.u64();
    const std::uint32_t totalDisks = l.u32();
    if (recordDisk != 0 || totalDisks > 1) {
        failure = damagedArchive("its ZIP64 locator names another disk");
        return false;
    }
    if (recordOffset > locatorEnd - kZip64LocatorSize || locatorEnd - kZip64LocatorSize - recordOffset < kZip64EndRecordSize) {
        failure = damagedArchive("its ZIP64 locator points outside the file");
        return false;
    }
    std::byte record[kZip64EndRecordSize];
    if (failure = readArchiveBytes(file, recordOffset, record, "the ZIP64 end record ends early"); failure.failed())
        return false;
    ByteReader r(record);
    if (r.u32() != kZip64EndRecordSignature) {
        failure = damagedArchive("the ZIP64 end record lacks its signature");
        return false;
    }
    r.skip(8);  // size of the rest of the record
    end.zip64VersionMadeBy = r.u16();
    end.zip64VersionNeeded = r.u16();
    const std::uint32_t diskNumber = r.u32();
    const std::uint32_t centralDirDisk = r.u32();
    const std::uint64_t entriesOnDisk = r.u64();
    end.totalEntries = r.u64();
    end.centralDirSize = r.u64();
    end.centralDirOffset = r.u64();
    if (!r.ok() || diskNumber != 0 || centralDirDisk != 0 || entriesOnDisk != end.totalEntries) {
        failure = damagedArchive("the ZIP64 end record names another disk");
        return false;
    }
    end.hasZip64Records = true;
    end.endRecordsStart = recordOffset;
    return true;
}

}  // namespace

Result<ZipEndRecord> findEndRecord(RandomAccessFile& file)
{
    errno = 0;
    const auto fileSize = file.size();
    if (!fileSize) return Failure::fromErrno(errno);
    if (*fileSize < kEndRecordSize) return notZipArchive();
    const std::uint64_t tailSize = std::min<std::uint64_t>(*fileSize, kEndRecordSize + kMaxCommentSize);
    const std::uint64_t tailOffset = *fileSize - tailSize;
    std::vector<std::byte> tail(tailSize);
    if (const Failure failure = readArchiveBytes(file, tailOffset, tail, "the file ends early"); failure.failed())
        return failure;

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
        Failure zip64Failure;
        if (!readZip64Records(file, end.endRecordOffset, end, zip64Failure)) {
            if (zip64Failure.failed()) return zip64Failure;
            if (diskNumber != 0 || centralDirDisk != 0 || entriesOnDisk != totalEntries)
                return damagedArchive("its end record names another disk");
            end.totalEntries = totalEntries;
            end.centralDirSize = centralDirSize;
            end.centralDirOffset = centralDirOffset;
        } else if ((diskNumber != 0 && diskNumber != kNoValue16) ||
                   (centralDirDisk != 0 && centralDirDisk != kNoValue16)) {
            return damagedArchive("its end record names another disk");
        }
        const bool directoryFits = end.centralDirOffset <= end.endRecordsStart &&
                                   end.centralDirSize <= end.endRecordsStart - end.centralDirOffset;
        if (!directoryFits) return damagedArchive("the central directory lies outside the file");
        if (end.centralDirSize > kMaxCentralDirBytes) return damagedArchive("the central directory is larger than 16 MiB");
        if (end.totalEntries > end.centralDirSize / kCentralRecordFixedSize)
            return damagedArchive("the end record counts more entries than the central directory holds");
        return end;
    }
    return notZipArchive();
}

std::optional<ZipEndRecord> readEndRecord(RandomAccessFile& file)
{
    auto end = findEndRecord(file);
    if (!end.ok()) return std::nullopt;
    return std::move(end).value();
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
