// SPDX-License-Identifier: Apache-2.0
// What a change is to leave on a file, handed down explicitly from the change sequence
// (fileinfo/file_change.h) to the writers: the final mode, times and extended attributes. A
// whole-file replacement gives its new file that metadata before the rename (temp_file.h), so
// that one rename commits content and metadata together; an in-place writer may open a
// read-only file for the moment of its open (openForChange), so that the file never stays
// writable while it is written.
#pragma once

#include <sys/stat.h>
#include <time.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/random_access_file.h"

namespace quorvane {

class FlushGroup;

struct ExtendedAttribute {
    std::string name;
    std::vector<std::byte> value;
};

// What a file is to carry once a change has written it.
struct FinalMetadata {
    unsigned permissionBits = 0;                          // the mode's lower 12 bits
    timespec lastAccess{};
    timespec lastWrite{};
    std::vector<ExtendedAttribute> extendedAttributes;    // stored, replacing any of the same name
    // Stored after the mode: values that a change of mode would alter (ntfs-3g's attribute word,
    // whose read-only bit a chmod sets or clears).
    std::vector<ExtendedAttribute> extendedAttributesAfterMode;
    // What a new file that has a name from the start carries while it lives (the attribute word
    // with Hidden), so that a leftover is hidden where the leading dot hides nothing.
    std::vector<ExtendedAttribute> temporaryMark;
    // The flush group whose rounds make the commit durable (base/flush_group.h); null: each flush
    // is the file's own fsync.
    FlushGroup* flushGroup = nullptr;
};

// True when a writer must refuse the file `info` describes as read-only: it has no write bit for
// anyone and the writer is not part of a change that sets the final metadata last
// (`finalMetadata` null).
bool refusedAsReadOnly(const struct stat& info, const FinalMetadata* finalMetadata);

// Opens `path` for reading and writing under an exclusive lock, as PosixFile::openOrFailure does,
// with its failures. When the open is refused for want of a write bit and `finalMetadata` is
// given, the owner's write bit is given for the moment of the open and the mode then put back at
// once: a descriptor opened for writing stays writable, and the file is never left writable by an
// interruption of the write that follows. A mode that cannot be given or put back is the failure
// then ("read-only cannot be cleared: <the system's words>").
Result<PosixFile> openForChange(const std::string& path, const FinalMetadata* finalMetadata);

// A file opened to be edited, or read for a plan of the same edit.
struct EditedFile {
    std::string path;   // the file a symbolic link names
    PosixFile file;
    struct stat info {};
};

// Opens the file `givenPath` names (through a symbolic link: the file it names). To read
// (`forChange` false) under a shared lock; for a change with openForChange, refused as
// "read-only" (refusedAsReadOnly). When another writer renamed a new file over the name between
// our open and our lock (a write based on the file we hold would undo that writer's change), the
// new file is opened instead, up to three times, then "in use by another program". Other
// failures: the system's ("no such file", "not a regular file", "permission denied", "in use by
// another program" once the wait for a lock is over, ...).
Result<EditedFile> openFileForEdit(const std::string& givenPath, bool forChange, const FinalMetadata* finalMetadata);

// Writes the file at `path` in place: opens it with openForChange (its failures), refuses a
// read-only file when `finalMetadata` is null ("read-only"), runs `write` on it and closes it.
// The failure of `write` first, else the close's.
Failure writeFileInPlace(const std::string& path, const FinalMetadata* finalMetadata,
                         const std::function<Failure(RandomAccessFile&)>& write);

}  // namespace quorvane
