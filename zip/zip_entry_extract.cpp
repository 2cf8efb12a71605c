#include "zip/zip_entry_extract.h"

#include <algorithm>

#include "base/byte_reader.h"
#include "zip/zip_codec.h"
#include "base/text_trim.h"
#include "zip/zip_format.h"

namespace quorvane::zip {
namespace {

using namespace zip;


char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// An entry name in the reader's form: every "/" turned into "\".
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

}  // namespace

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

std::optional<LocalHeader> readLocalHeader(RandomAccessFile& file, const ZipDirectory& directory, std::size_t index)
{
    const ZipEntry& entry = directory.entries.at(index);
    std::byte fixed[kLocalHeaderFixedSize];
    if (!file.readAt(entry.localHeaderOffset, fixed)) return std::nullopt;
    ByteReader r(fixed);
    if (r.u32() != kLocalHeaderSignature) return std::nullopt;
    r.skip(22);  // version, flags, method, time, date, crc, sizes: the central record's are used
    const std::uint16_t nameSize = r.u16();
    const std::uint16_t extraSize = r.u16();
    LocalHeader header;
    header.dataOffset = entry.localHeaderOffset + kLocalHeaderFixedSize + nameSize + extraSize;
    const std::uint64_t limit = directory.end.centralDirOffset;
    if (header.dataOffset > limit || entry.compressedSize > limit - header.dataOffset) return std::nullopt;
    header.extra.resize(extraSize);
    if (!file.readAt(header.dataOffset - extraSize, header.extra)) return std::nullopt;
    return header;
}

std::optional<std::vector<std::byte>> readEntryData(RandomAccessFile& file, const ZipDirectory& directory,
                                                    std::size_t index)
{
    const ZipEntry& entry = directory.entries.at(index);
    if ((entry.flags & kFlagEncrypted) != 0 || entry.uncompressedSize > kMaxInflatedEntryBytes) return std::nullopt;
    const auto header = readLocalHeader(file, directory, index);
    if (!header) return std::nullopt;
    const std::size_t size = std::size_t(entry.uncompressedSize);
    std::optional<std::vector<std::byte>> data;
    if (entry.method == kMethodStored) {
        if (entry.compressedSize != entry.uncompressedSize) return std::nullopt;
        data.emplace(size);
        if (!file.readAt(header->dataOffset, *data)) return std::nullopt;
    } else if (entry.method == kMethodDeflated) {
        data = inflateEntryData(file, header->dataOffset, entry.compressedSize, size);
    }
    if (!data || crc32Of(*data) != entry.crc32) return std::nullopt;
    return data;
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
