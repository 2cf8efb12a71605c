// SPDX-License-Identifier: Apache-2.0
// The central directory of a ZIP archive (APPNOTE 4.3.12, ZIP64 extra field 4.5.3): the list of
// entries with their names, sizes, checksums and the offsets of their local headers, read and
// checked against the file. Entry names are also offered in the package reader's form: a file
// name, and a path name with "\" separators and a trailing "\".
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/random_access_file.h"
#include "zip/zip_end_record.h"

namespace quorvane::zip {

struct ZipEntry {
    std::string name;                  // as stored: bytes, "/" separated
    std::uint16_t flags = 0;           // general purpose bit flag
    std::uint16_t method = 0;          // compression method: 0 stored, 8 deflated
    std::uint32_t crc32 = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint64_t localHeaderOffset = 0;
    // Where this entry's record lies in ZipDirectory::centralDir, and where inside the record the
    // local header offset is kept: the 4-byte field, or the 8 bytes in the ZIP64 extra field.
    std::size_t recordOffset = 0;
    std::size_t recordSize = 0;
    std::size_t localHeaderOffsetField = 0;
    std::size_t localHeaderOffsetWidth = 4;
};

struct ZipDirectory {
    ZipEndRecord end;
    std::vector<ZipEntry> entries;        // in central directory order
    std::vector<std::byte> centralDir;    // the directory's bytes as they stand in the file
};

// Reads the central directory of the archive in `file` as it stands now. nullopt when the file
// is not a ZIP archive or its directory is damaged: a bad end record, a record that overruns the
// directory or lacks its signature, an entry on another disk, or a local header offset that does
// not lie before the directory.
std::optional<ZipDirectory> ReadDirectory(RandomAccessFile& file);

// ReadDirectory with the reason of a failure: findEndRecord's, or "damaged ZIP archive: central
// directory record <n> <what>" (numbered from 1), or the system's reason when a read is refused.
Result<ZipDirectory> readArchiveDirectory(RandomAccessFile& file);

std::size_t EntryCount(const ZipDirectory& directory);

// The entry's name without its path ("_rels/.rels" gives ".rels"). Precondition: index < EntryCount.
std::string EntryFileName(const ZipDirectory& directory, std::size_t index);

// The entry's directory part with "\" separators and a trailing "\" ("_rels/.rels" gives "_rels\"),
// empty for an entry in the root. Precondition: index < EntryCount.
std::string EntryPathName(const ZipDirectory& directory, std::size_t index);

}  // namespace quorvane::zip
