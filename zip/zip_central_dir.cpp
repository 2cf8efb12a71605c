// SPDX-License-Identifier: Apache-2.0
#include "zip/zip_central_dir.h"

#include <algorithm>

#include "base/byte_reader.h"
#include "zip/zip_failure.h"
#include "zip/zip_format.h"

namespace quorvane::zip {
namespace {

using namespace zip;

constexpr std::size_t kLocalHeaderOffsetField = 42;  // within a central record

// Fills the values that the record stores as all ones from its ZIP64 extra field (APPNOTE 4.5.3:
// present in the order uncompressed size, compressed size, local header offset, disk number, each
// only when its field in the record is all ones). False when the extra field lacks one of them.
bool readZip64Extra(std::span<const std::byte> extra, std::size_t extraOffsetInRecord, ZipEntry& entry,
                    bool needDisk)
{
    const bool needUncompressed = entry.uncompressedSize == kNoValue32;
    const bool needCompressed = entry.compressedSize == kNoValue32;
    const bool needOffset = entry.localHeaderOffset == kNoValue32;
    if (!needUncompressed && !needCompressed && !needOffset && !needDisk) return true;
    ByteReader r(extra);
    while (r.remaining() >= 4) {
        const std::uint16_t id = r.u16();
        const std::uint16_t size = r.u16();
        const std::size_t blockStart = r.position();
        const auto block = r.bytes(size);
        if (!r.ok()) return false;
        if (id != kZip64ExtraId) continue;
        ByteReader z(block);
        if (needUncompressed) entry.uncompressedSize = z.u64();
        if (needCompressed) entry.compressedSize = z.u64();
        if (needOffset) {
            entry.localHeaderOffsetField = extraOffsetInRecord + blockStart + z.position();
            entry.localHeaderOffsetWidth = 8;
            entry.localHeaderOffset = z.u64();
        }
        const std::uint32_t disk = needDisk ? z.u32() : 0;
        return z.ok() && disk == 0;
    }
    return false;
}

}  // namespace

Result<ZipDirectory> readArchiveDirectory(RandomAccessFile& file)
{
    auto end = findEndRecord(file);
    if (!end.ok()) return end.failure();
    ZipDirectory directory;
    directory.centralDir.resize(end->centralDirSize);
    if (const Failure failure = readArchiveBytes(file, end->centralDirOffset, directory.centralDir,
                                                 "the central directory ends early");
        failure.failed())
        return failure;

    ByteReader r(directory.centralDir);
    directory.entries.reserve(end->totalEntries);
    for (std::uint64_t i = 0; i < end->totalEntries; ++i) {
        const auto recordDamaged = [i](std::string_view what) {
            return damagedArchive("central directory record " + std::to_string(i + 1) + " " + std::string(what));
        };
        ZipEntry entry;
        entry.recordOffset = r.position();
        if (r.u32() != kCentralRecordSignature) return recordDamaged("lacks its signature");
        r.skip(4);  // version made by, version needed
        entry.flags = r.u16();
        entry.method = r.u16();
        r.skip(4);  // time, date
        entry.crc32 = r.u32();
        entry.compressedSize = r.u32();
        entry.uncompressedSize = r.u32();
        const std::uint16_t nameSize = r.u16();
        const std::uint16_t extraSize = r.u16();
        const std::uint16_t commentSize = r.u16();
        const std::uint16_t diskNumberStart = r.u16();
        r.skip(6);  // internal and external attributes
        entry.localHeaderOffset = r.u32();
        entry.localHeaderOffsetField = kLocalHeaderOffsetField;
        const auto name = r.bytes(nameSize);
        const auto extra = r.bytes(extraSize);
        r.skip(commentSize);
        if (!r.ok()) return recordDamaged("overruns the central directory");
        entry.recordSize = r.position() - entry.recordOffset;
        entry.name.assign(reinterpret_cast<const char*>(name.data()), name.size());
        const bool needDisk = diskNumberStart == kNoValue16;
        if (!needDisk && diskNumberStart != 0) return recordDamaged("names another disk");
        if (!readZip64Extra(extra, kCentralRecordFixedSize + nameSize, entry, needDisk))
            return recordDamaged("lacks its ZIP64 values");
        if (entry.localHeaderOffset >= end->centralDirOffset)
            return recordDamaged("puts its local header past the central directory");
        directory.entries.push_back(std::move(entry));
    }
    directory.end = std::move(end).value();
    return directory;
}

std::optional<ZipDirectory> ReadDirectory(RandomAccessFile& file)
{
    auto directory = readArchiveDirectory(file);
    if (!directory.ok()) return std::nullopt;
    return std::move(directory).value();
}

std::size_t EntryCount(const ZipDirectory& directory) { return directory.entries.size(); }

std::string EntryFileName(const ZipDirectory& directory, std::size_t index)
{
    const std::string& name = directory.entries.at(index).name;
    const auto separator = name.find_last_of("/\\");
    return separator == std::string::npos ? name : name.substr(separator + 1);
}

std::string EntryPathName(const ZipDirectory& directory, std::size_t index)
{
    const std::string& name = directory.entries.at(index).name;
    const auto separator = name.find_last_of("/\\");
    if (separator == std::string::npos) return "";
    std::string path = name.substr(0, separator + 1);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

}  // namespace quorvane::zip
