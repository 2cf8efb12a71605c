// SPDX-License-Identifier: Apache-2.0
// Setting the three times of a file, and putting a file back as it was after it was only read.
// Every time setting is an exclusive open of the file: it fails while another process holds a
// lock on the file (props/random_access_file.h) and, as on Windows, on a read-only file, even
// for root. Last access and last write are set through the open descriptor at full precision;
// the creation time is stored with the attributes (attribute_store.h), because Linux cannot set
// a birth time, and only when it differs from the creation time the file reports already.
// Every time is read back after it is set: a file system keeps a narrower range than time_t
// (ext4 1901 to 2446, for instance) and would otherwise store another time than the one asked.
#pragma once

#include <string>

#include "base/failure.h"
#include "fileinfo/file_snapshot.h"
#include "convert/date_time.h"

namespace quorvane::fileinfo {

// Three instants for a file: UTC, to the nanosecond, in any year time_t holds.
struct FileInstants {
    timespec creation{};
    timespec lastAccess{};
    timespec lastWrite{};
};

// The instants of a snapshot: last access and last write exactly as the file system reported
// them, the creation time from its FILETIME.
FileInstants instantsOf(const FileSnapshot& snapshot);

// Gives the file the `asked` instants. A time that does not land (read back further from the
// asked one than the file system's granularity: 2 s for last write, a day for last access,
// which FAT keeps as a date only) or a creation time before 1601, which no FILETIME holds, is
// put back to its instant in `previous` and refused: Failure of kind Conversion, "the file
// system cannot store <the asked time as local display text>", the first one in the order
// creation, last access, last write; the other times are set all the same. Other failures as
// restoreAfterRead's (without the step in front), nothing changed when the exclusive open fails.
Failure setFileInstants(const std::string& path, const FileInstants& asked, const FileInstants& previous);

// Sets the three times, given as local date-time values (a repeated local hour taking its
// earlier instant, a skipped one moving forward, date_time.h). True when all three were set;
// false when the file cannot be opened exclusively (missing, not a regular file, read-only,
// locked by another process; nothing is changed then), a time was refused (a creation time on a
// file system without extended attributes), or a time cannot be stored (setFileInstants; that
// time keeps the value it had).
bool SetFileTimes(const std::string& path, convert::DateTime creation, convert::DateTime lastWrite,
                  convert::DateTime lastAccess);

// Gives a file the snapshot's last-access time again when reading the file moved it; nothing
// else changes, and no exclusive open is needed. Only the file's owner (or root) may set a time,
// and a read by anyone else moves it (O_NOATIME is the owner's too). Failure{} when the time is
// the snapshot's; else "its times cannot be put back: <the system's words>".
Failure putLastAccessBack(const std::string& path, const FileSnapshot& snapshot);

// Puts a file back after its properties were read, when the read moved anything: clears
// read-only when the snapshot has it, sets the snapshot's times, then writes the snapshot's
// attribute word back. True when the file shows the snapshot's times and word still (nothing is
// set then, so that a reader who does not own the file may read it). False when read-only cannot
// be cleared, the file cannot be opened exclusively (for instance while another process holds a
// lock on it), or a time or the final word is refused. Whatever the outcome, the file ends with
// the snapshot's attribute word wherever that can be written.
bool RestoreFileTimesAfterRead(const std::string& path, const FileSnapshot& snapshot);
// RestoreFileTimesAfterRead with the reason of a failure: Failure{} when the file is back as it
// was; else the first refusal, with the step in front ("its times cannot be put back: in use by
// another program", "read-only cannot be cleared: permission denied").
Failure restoreAfterRead(const std::string& path, const FileSnapshot& snapshot);

}  // namespace quorvane::fileinfo
