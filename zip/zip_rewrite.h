// SPDX-License-Identifier: Apache-2.0
// Replacing, removing and adding entries of a ZIP archive in one pass. The new archive is written
// front to back: every entry that is not edited is copied as it stands (local header, compressed
// data, data descriptor and any bytes up to the next entry) with RandomAccessFile::copyFrom, never
// inflated and never held in memory whole; a replaced entry gets a new local header and its new
// content deflated at level 6, at its old place and under its old name; a removed entry's bytes
// up to the next entry are left out; an added entry is deflated at level 6 and placed after the
// last entry kept. The central directory keeps its order and its records, with the local header
// offsets moved, the replaced entries' method, CRC and sizes new, the removed entries' records
// left out and the added entries' records after the others (APPNOTE 4.3.7, 4.3.12, 4.5.3).
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>

#include "base/failure.h"
#include "base/random_access_file.h"
#include "base/temp_file.h"
#include "zip/zip_central_dir.h"

namespace quorvane::zip {

struct EntryReplacement {
    std::size_t entryIndex;                 // into ZipDirectory::entries
    std::span<const std::byte> content;     // the new uncompressed content
};

struct EntryAddition {
    std::string name;                       // as stored: "/" separated, no leading "/"
    std::span<const std::byte> content;     // uncompressed
};

// Everything one rewrite changes. Each entry is named at most once among replacements and
// removals; an added name is none of the entries kept nor another addition's.
struct ArchiveEdits {
    std::span<const EntryReplacement> replacements{};
    std::span<const std::size_t> removals{};  // into ZipDirectory::entries
    std::span<const EntryAddition> additions{};
};

// Writes the archive `directory` of `source` with `edits` applied into the empty file `target`,
// through writeAt() calls only (no sync). Failure{} on success. Otherwise `target` is incomplete
// and must be thrown away, and the failure says why: the system's reason when a read or write
// fails (errno); "damaged ZIP archive: <what>" when a replaced or removed entry shares its local
// header with another entry, a replaced entry's local header is damaged, or two edits name the
// same entry; Unsupported ("the archive is too large for its records") when an offset or size
// grows past what a record without a ZIP64 field can hold, or ("the archive already holds an
// entry named <name>") when an added name is taken. An added entry that lies past 4 GiB gets its
// offset in a ZIP64 extra field of its central record.
Failure rewriteArchiveInto(RandomAccessFile& source, const ZipDirectory& directory, const ArchiveEdits& edits,
                           RandomAccessFile& target);
// The same with replacements only.
Failure rewriteArchiveInto(RandomAccessFile& source, const ZipDirectory& directory,
                           std::span<const EntryReplacement> replacements, RandomAccessFile& target);

// Edits the archive file at `path`, read through `source` with `directory`, in one rewrite: a
// temporary file in the same folder receives the new archive (rewriteArchiveInto), gets
// `permissionBits` (or, when `finalMetadata` is given, that metadata: TempFile::commit), is
// synced, and is renamed over `path`. Failure{} on success. Otherwise the reason
// (rewriteArchiveInto's, or the system's for the temporary file, its mode, sync or rename: "no
// space left on the device", "permission denied", ...); the temporary file is then removed and
// `path` left as it was (except a failure to sync the folder after the rename, which is reported
// with the new file in place).
Failure editArchive(const std::string& path, RandomAccessFile& source, const ZipDirectory& directory,
                    const ArchiveEdits& edits, unsigned permissionBits, const FinalMetadata* finalMetadata = nullptr,
                    const TargetWrapper& wrapTarget = {});

}  // namespace quorvane::zip
