// SPDX-License-Identifier: Apache-2.0
// Reading one file for display: the snapshot of its attributes and times, its 14 property rows
// from the reader its name chooses, and nothing written, so that looking at a file leaves no
// trace on it. The window turns the values into controls and the outcome into the
// line's status.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "change/file_status.h"
#include "document/document_format.h"
#include "fileinfo/file_snapshot.h"
#include "package/package_rows.h"
#include "props/custom_property.h"

namespace quorvane::change {

// What identifies the content of a file on disk: a change of any of these since a file was
// shown means the values shown may no longer be the file's.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t sizeBytes = 0;
    std::int64_t lastWriteSeconds = 0;
    std::int64_t lastWriteNanoseconds = 0;

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file `path` names (symbolic links followed); nullopt when it cannot be
// looked at.
std::optional<FileStamp> fileStampOf(const std::string& path);

struct FileDisplay {
    // The file's stamp taken before the read; nullopt when the file could not be looked at.
    std::optional<FileStamp> stamp;
    // The attributes and times as they were before the read; nullopt when the file is missing
    // or its attribute data cannot be read (the pickers and boxes then keep what they show).
    std::optional<fileinfo::FileSnapshot> snapshot;
    // Why `snapshot` is nullopt ("no such file", "not a regular file", "its attributes cannot be
    // read: ..."); Failure{} when there is one.
    Failure snapshotFailure;
    // The 14 row texts; nullopt when the file is missing or is a package that cannot be read
    // (not a ZIP archive, a relationship or part missing or empty, a part that is not
    // well-formed XML). A compound document always gives its rows, "" where nothing is read;
    // an encrypted one those it keeps in the clear.
    std::optional<props::RowTexts> rows;
    // The format the file's first bytes announce, when the file could be opened as one.
    std::optional<document::DocumentFormat> format;
    // True when the rows were read; false when the file is missing, a package cannot be read,
    // the file is locked by another process (still after the wait for its lock), or the
    // document is encrypted (its properties are inside the encryption).
    bool succeeded = false;
    // Why the rows were not read: `rows` is nullopt for a package and all "" for a compound
    // document then ("damaged compound file: ...", "in use by another program"); or "encrypted
    // document: its properties are inside the encryption", with the rows in the clear. Failure{}
    // when they were read.
    Failure rowsFailure;
    // The custom properties in stored order, read in the same visit as the rows; empty when the
    // file has none or they cannot be read (then `customFailure` says why; it does not make the
    // read fail, the 14 rows being what a line shows).
    std::vector<props::CustomProperty> custom;
    Failure customFailure;
    // Why `succeeded` is false (Failure{} when it is true): the snapshot's reason for a missing
    // file or a folder, else `rowsFailure`.
    Failure failure;

    // Why any value shown is not the file's, for a reader that shows nothing it did not read:
    // `failure`, else `rowsFailure` (a compound document shown with empty rows), else
    // `snapshotFailure`, else `customFailure`; Failure{} when all was read.
    const Failure& firstFailure() const;
};

// Reads `path` for display without writing its mode or attribute word: the reads leave the
// last-access time as it was where the kernel lets them, and a time moved all the same is put
// back afterwards where the reader may (fileinfo::putLastAccessBack), also when the package read
// failed; that put-back never fails the read. Never throws for a damaged file: an error raised
// by a reader counts as a failed read. The custom properties are read only `withCustom`
// (otherwise `custom` stays empty and `customFailure` Failure{}).
FileDisplay ReadFileForDisplay(const std::string& path, bool withCustom = true);

// The status a line takes after the display of its file: unreadable after a failure; after a
// success unchanged when it was unreadable, otherwise the status it had (a file marked changed
// or failed keeps its mark).
FileStatus statusAfterDisplay(FileStatus previous, bool succeeded);

}  // namespace quorvane::change
