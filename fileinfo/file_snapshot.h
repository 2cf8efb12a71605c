// SPDX-License-Identifier: Apache-2.0
// Finding a file and taking its snapshot: the attribute word and the three times, read before a
// file is read or changed so that they can be shown, composed into new times, or put back.
#pragma once

#include <time.h>

#include <optional>
#include <string>

#include "base/failure.h"
#include "fileinfo/attribute_word.h"
#include "convert/date_time.h"

namespace quorvane::fileinfo {

struct FileSnapshot {
    AttributeWord attributes = 0;
    convert::FileTime creationTime = 0;    // UTC, 100-ns units, like the two below
    convert::FileTime lastAccessTime = 0;
    convert::FileTime lastWriteTime = 0;
    // The last-access and last-write instants at the file system's own precision (nanoseconds),
    // so that putting a snapshot back restores them exactly, not cut to 100 ns.
    timespec exactLastAccess{};
    timespec exactLastWrite{};
};

// True when `path` names a regular file (symbolic links followed), hidden and system ones
// included; false for a folder, anything else, or nothing.
bool FileEntryExists(const std::string& path);

// The snapshot of a regular file. The creation time is the one stored with the attributes when
// there is one, else the file system's birth time, else the last-write time. nullopt when the
// file is not found (FileEntryExists) or its attributes cannot be read.
std::optional<FileSnapshot> ReadFileAttributeData(const std::string& path);
// ReadFileAttributeData with the reason of a failure: "no such file", "not a regular file", or
// "its attributes cannot be read: <the system's words>".
Result<FileSnapshot> readFileSnapshot(const std::string& path);

// Conversions between a POSIX instant and a FILETIME. Instants before 1601-01-01 00:00 UTC
// give 0; the FILETIME keeps 100-ns units, so nanoseconds below that are cut.
convert::FileTime fileTimeOf(const timespec& instant);
timespec timespecOf(convert::FileTime fileTime);
// Conversions between a POSIX instant and milliseconds since 1970-01-01 00:00 UTC (the unit of
// convert::localToUtcEpochMs), over the whole range; nanoseconds below a millisecond are cut.
std::int64_t epochMsOf(const timespec& instant);
timespec timespecOfEpochMs(std::int64_t utcMs);
// Whether two POSIX instants are the same to the nanosecond.
bool sameInstant(const timespec& a, const timespec& b);

}  // namespace quorvane::fileinfo
