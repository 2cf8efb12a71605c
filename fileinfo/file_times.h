// SPDX-License-Identifier: Apache-2.0
// Setting the three times of a file, settling a changed file's times and attribute word, and
// putting back the last-access time a read moved.
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
// creation, last access, last write; the other times are set all the same. Otherwise "read-only",
// "in use by another program" (a lock still held after the wait), the system's words; nothing
// changed when the exclusive open fails.
Failure setFileInstants(const std::string& path, const FileInstants& asked, const FileInstants& previous);

// Sets the three times, given as local date-time values (a repeated local hour taking its
// earlier instant, a skipped one moving forward, date_time.h). True when all three were set;
// false when the file cannot be opened exclusively (missing, not a regular file, read-only,
// locked by another process; nothing is changed then), a time was refused (a creation time on a
// file system without extended attributes), or a time cannot be stored (setFileInstants; that
// time keeps the value it had).
bool SetFileTimes(const std::string& path, convert::DateTime creation, convert::DateTime lastWrite,
                  convert::DateTime lastAccess);

// Gives a file and its attribute word the `asked` instants and `word` as the last step of a
// change, and puts them back on a change's failure (`asked` the snapshot's), without ever
// clearing read-only on the way: the times are set on the file as it is (the owner and root may
// set the times of a read-only file), then the creation time and the word in one store, the mode
// last (setAttributeWord). Nothing is written when the file shows all of it already. Failure{}
// when the file ends as asked; else the first fault: setFileInstants' refusals of times, the
// system's words for a time it refuses (the word is written all the same), or the word's.
Failure settleFileMetadata(const std::string& path, const FileInstants& asked, const FileInstants& previous,
                           AttributeWord word);

// Gives a file the snapshot's last-access time again when a read moved it, setting nothing
// else: never the mode, the attribute word or the last-write time, and nothing when the file
// was written since the snapshot (its times are then another program's). Our readers open with
// O_NOATIME where the kernel allows it (base/quiet_open.h: the owner and root), so that there
// is nothing to put back; and only the owner or root may set a time, so a moved time on someone
// else's file stays moved. Failure{} when nothing moved or the time is back; else "its times
// cannot be put back: <the system's words>".
Failure putLastAccessBack(const std::string& path, const FileSnapshot& snapshot);

// Puts a file back after its properties were read: putLastAccessBack. True when the file shows
// the snapshot's last-access time again or the read did not move it.
bool RestoreFileTimesAfterRead(const std::string& path, const FileSnapshot& snapshot);

}  // namespace quorvane::fileinfo
