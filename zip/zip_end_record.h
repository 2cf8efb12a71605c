// SPDX-License-Identifier: Apache-2.0
// The end of a ZIP archive: the end-of-central-directory record (APPNOTE 4.3.16) and, where the
// archive needs it, the ZIP64 end record and its locator (APPNOTE 4.3.14, 4.3.15). Reading finds
// and checks them against the file; writing emits the same records for a rewritten archive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/failure.h"
#include "base/random_access_file.h"

namespace quorvane::zip {

// The largest central directory we read: a bound against sizes made up by a damaged file, and
// against the memory that its entries take (about 130 bytes each once read, twice the directory
// during a rewrite). Real packages list a few hundred entries in a few tens of KiB.
inline constexpr std::uint64_t kMaxCentralDirBytes = 16ull << 20;

struct ZipEndRecord {
    std::uint64_t totalEntries = 0;       // entries in the central directory
    std::uint64_t centralDirSize = 0;
    std::uint64_t centralDirOffset = 0;
    std::uint64_t endRecordOffset = 0;    // where the classic end record starts
    // Where the end records start: the ZIP64 end record when there is one, else the classic one.
    // The central directory must end at or before this offset.
    std::uint64_t endRecordsStart = 0;
    bool hasZip64Records = false;
    std::uint16_t zip64VersionMadeBy = 45;
    std::uint16_t zip64VersionNeeded = 45;
    std::vector<std::byte> comment;       // the archive comment, kept for a rewrite
};

// Finds the end record nearest the end of the file whose comment fits in the file, follows the
// ZIP64 locator when one stands right before it, and checks the result: one disk only (never a
// part of a spanned set), a central directory that lies inside the file before the end records,
// and an entry count the directory can hold. nullopt when there is no such record or a check
// fails: the file is then not an archive, and nothing is repaired.
std::optional<ZipEndRecord> readEndRecord(RandomAccessFile& file);

// readEndRecord with the reason of a failure: "not a ZIP archive" when no end record is found,
// "damaged ZIP archive: <what>" when a check fails, the system's reason when a read is refused.
Result<ZipEndRecord> findEndRecord(RandomAccessFile& file);

// Appends the end records of an archive whose central directory of `totalEntries` entries and
// `centralDirSize` bytes starts at `centralDirOffset`, with the end records starting at
// `endRecordsOffset`: the ZIP64 record and locator when `original` had them or a value needs
// them, then the classic record with the original comment.
void appendEndRecords(std::vector<std::byte>& out, const ZipEndRecord& original, std::uint64_t totalEntries,
                      std::uint64_t centralDirSize, std::uint64_t centralDirOffset, std::uint64_t endRecordsOffset);

}  // namespace quorvane::zip
