// SPDX-License-Identifier: Apache-2.0
#include "zip/zip_entry_extract.h"

#include <algorithm>

#include "base/byte_reader.h"
#include "zip/zip_codec.h"
#include "base/text_trim.h"
#include "zip/zip_failure.h"
#include "zip/zip_format.h"

namespace quorvane::zip {
namespace {

using namespace zip;

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

}  // namespace

bool sameEntryName(std::string_view storedName, std::string_view wanted)
{
    if (storedName.size() != wanted.size()) return false;
    for (std::size_t i = 0; i < storedName.size(); ++i) {
        const char stored = storedName[i] == '/' ? '\\' : storedName[i];
        const char asked = wanted[i] == '/' ? '\\' : wanted[i];
        if (asciiLower(stored) != asciiLower(asked)) return false;
    }
    return true;
}

std::optional<std::size_t> findEntry(const ZipDirectory& directory, std::string_view name)
{
    name = trimBlanksAndControls(name);
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < directory.entries.size(); ++i) {
        if (!sameEntryName(directory.entries[i].name, name)) continue;
        if (found) return std::nullopt;
        found = i;
    }
    return found;
}

std::size_t entriesNamed(const ZipDirectory& directory, std::string_view name)
{
    name = trimBlanksAndControls(name);
    return std::size_t(std::count_if(directory.entries.begin(), directory.entries.end(),
                                     [name](const ZipEntry& entry) { return sameEntryName(entry.name, name); }));
}

Result<LocalHeader> localHeaderOf(RandomAccessFile& file, const ZipDirectory& directory, std::size_t index)
{
    const ZipEntry& entry = directory.entries.at(index);
    const auto headerDamaged = [&entry](std::string_view what) {
        return damagedArchive("the local header of " + entry.name + " " + std::string(what));
    };
    std::byte fixed[kLocalHeaderFixedSize];
    if (const Failure failure = readArchiveBytes(file, entry.localHeaderOffset, fixed, "a local header ends early");
        failure.failed())
        return failure;
    ByteReader r(fixed);
    if (r.u32() != kLocalHeaderSignature) return headerDamaged("lacks its signature");
    r.skip(22);  // version, flags, method, time, date, crc, sizes: the central record's are used
    const std::uint16_t nameSize = r.u16();
    const std::uint16_t extraSize = r.u16();
    LocalHeader header;
    header.dataOffset = entry.localHeaderOffset + kLocalHeaderFixedSize + nameSize + extraSize;
    const std::uint64_t limit = directory.end.centralDirOffset;
    if (header.dataOffset > limit || entry.compressedSize > limit - header.dataOffset)
        return headerDamaged("puts its data past the central directory");
    header.extra.resize(extraSize);
    if (const Failure failure = readArchiveBytes(file, header.dataOffset - extraSize, header.extra,
                                                 "a local header ends early");
        failure.failed())
        return failure;
    return header;
}

std::optional<LocalHeader> readLocalHeader(RandomAccessFile& file, const ZipDirectory& directory, std::size_t index)
{
    auto header = localHeaderOf(file, directory, index);
    if (!header.ok()) return std::nullopt;
    return std::move(header).value();
}

Result<std::vector<std::byte>> entryBytes(RandomAccessFile& file, const ZipDirectory& directory, std::size_t index)
{
    const ZipEntry& entry = directory.entries.at(index);
    if ((entry.flags & kFlagEncrypted) != 0) return Failure(FailureKind::Unsupported, "encrypted entry: " + entry.name);
    if (entry.uncompressedSize > kMaxInflatedEntryBytes)
        return Failure(FailureKind::Unsupported, "entry too large: " + entry.name);
    const auto header = localHeaderOf(file, directory, index);
    if (!header.ok()) return header.failure();
    const std::size_t size = std::size_t(entry.uncompressedSize);
    if (entry.method == kMethodStored) {
        if (entry.compressedSize != entry.uncompressedSize)
            return damagedArchive(entry.name + " is stored with two different sizes");
        std::vector<std::byte> data(size);
        if (const Failure failure = readArchiveBytes(file, header->dataOffset, data, entry.name + " ends early");
            failure.failed())
            return failure;
        if (crc32Of(data) != entry.crc32) return damagedArchive(entry.name + " fails its CRC");
        return data;
    }
    if (entry.method != kMethodDeflated)
        return Failure(FailureKind::Unsupported,
                       "entry " + entry.name + " uses compression method " + std::to_string(entry.method));
    auto data = inflateEntryData(file, header->dataOffset, entry.compressedSize, size, entry.name);
    if (!data.ok()) return data.failure();
    if (crc32Of(*data) != entry.crc32) return damagedArchive(entry.name + " fails its CRC");
    return data;
}

std::optional<std::vector<std::byte>> readEntryData(RandomAccessFile& file, const ZipDirectory& directory,
                                                    std::size_t index)
{
    auto data = entryBytes(file, directory, index);
    if (!data.ok()) return std::nullopt;
    return std::move(data).value();
}

std::vector<std::byte> ExtractEntryToMemory(RandomAccessFile& file, const ZipDirectory& directory,
                                            std::string_view name)
{
    const auto index = findEntry(directory, name);
    if (!index) return {};
    auto data = readEntryData(file, directory, *index);
    return data ? std::move(*data) : std::vector<std::byte>{};
}

}  // namespace quorvane::zip
