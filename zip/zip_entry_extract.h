// SPDX-License-Identifier: Apache-2.0
// Finding an entry of a ZIP archive by name and decompressing it into memory (APPNOTE 4.3.7 local
// header, 4.4.5 methods 0 and 8). Reading is bounded: an entry that would inflate to more than
// kMaxInflatedEntryBytes, or whose data fails its CRC, counts as missing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "base/failure.h"
#include "base/random_access_file.h"
#include "zip/zip_central_dir.h"

namespace quorvane::zip {

inline constexpr std::uint64_t kMaxInflatedEntryBytes = 64ull << 20;

// Whether two entry names are the same: equal once every "\" is taken as "/" and ASCII letter
// case is ignored.
bool sameEntryName(std::string_view storedName, std::string_view wanted);

// The index of the entry whose path name and file name joined ("_rels\.rels") equal `name` with
// blanks trimmed from both ends, ASCII letter case ignored. nullopt when no entry matches, or
// when several do: an ambiguous name names no entry, so that a reader and a writer can never
// take different ones.
std::optional<std::size_t> findEntry(const ZipDirectory& directory, std::string_view name);

// How many entries findEntry() matches `name` with: more than one when findEntry() finds none
// because the name is ambiguous.
std::size_t entriesNamed(const ZipDirectory& directory, std::string_view name);

// What the local header of an entry adds to its central record.
struct LocalHeader {
    std::uint64_t dataOffset = 0;        // first byte of the entry's compressed data
    std::vector<std::byte> extra;        // the local extra field, as stored
};

// Reads and checks the local header of entry `index`: its signature, and compressed data that
// ends before the central directory. nullopt on failure.
std::optional<LocalHeader> readLocalHeader(RandomAccessFile& file, const ZipDirectory& directory, std::size_t index);

// readLocalHeader with the reason of a failure: "damaged ZIP archive: the local header of <name>
// <what>", or the system's reason when a read is refused.
Result<LocalHeader> localHeaderOf(RandomAccessFile& file, const ZipDirectory& directory, std::size_t index);

// The uncompressed bytes of entry `index`, or nullopt when the entry is encrypted, uses another
// method than stored or deflated, is larger than kMaxInflatedEntryBytes, is damaged or fails its
// CRC, or a read fails.
std::optional<std::vector<std::byte>> readEntryData(RandomAccessFile& file, const ZipDirectory& directory,
                                                    std::size_t index);

// readEntryData with the reason of a failure: "entry too large: <name>" past the inflate cap,
// "encrypted entry: <name>" or "entry <name> uses compression method <n>" (Unsupported),
// "damaged ZIP archive: <what>" for a bad local header, data or CRC, or the system's reason when
// a read is refused.
Result<std::vector<std::byte>> entryBytes(RandomAccessFile& file, const ZipDirectory& directory, std::size_t index);

// The uncompressed bytes of the entry that findEntry() names; empty when there is none or it
// cannot be read (the caller judges success by the size alone).
std::vector<std::byte> ExtractEntryToMemory(RandomAccessFile& file, const ZipDirectory& directory,
                                            std::string_view name);

}  // namespace quorvane::zip
