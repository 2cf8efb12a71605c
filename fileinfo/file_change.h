// The file change sequence: the one order in which a change touches a file, shared by the
// single change, the batch change and the command line. Snapshot; read-only cleared; the
// properties written; the three times set; the attribute word written last. The order is
// binding: a property write changes the last-write time (a package rewrite even makes a new
// file), a read-only file cannot be opened for writing, and a file made read-only again could
// not be opened to set its times.
#pragma once

#include <functional>
#include <string>

#include "base/failure.h"
#include "fileinfo/change_settings.h"

namespace quorvane::fileinfo {

struct FileChangeSettings {
    FileTimeSources creation;
    FileTimeSources lastWrite;
    FileTimeSources lastAccess;
    AttributeBoxes boxes;
};

// Runs the sequence on `path`. `writeProperties` is step 3: it writes the document properties
// (package writer or compound-document rows) and returns false at the first write that fails.
// Each new time is ComposeDateTime of the file's own time (as the snapshot read it) and its
// sources, to the millisecond; a time that no source changes (or whose shown pickers still show
// it) is set back exactly as the snapshot read it, to the nanosecond, undoing what the property
// write did to it. A changed local time that occurs twice (the repeated hour when daylight
// saving ends) keeps the offset of the time it replaces; one that does not occur (the skipped
// hour) moves forward by the skipped length, as mktime does. The creation time is stored only
// where it differs from what the file reports after the write. The final word is
// ApplyAttributeBoxes of the snapshot's word.
// True when the properties were written; the time setting and the final word are not looked at
// (a file locked by another process still gets its attribute word), except a time that the file
// system cannot store (setFileInstants): that time keeps its value and the result is false,
// with the properties, the other times and the word changed all the same. False also when the
// file cannot be found or read, read-only cannot be cleared, or `writeProperties` fails; an
// exception from `writeProperties` passes through. On every way out before the times, the file
// gets the snapshot's attribute word back, so a read-only file never stays writable.
bool ApplyFileChange(const std::string& path, const FileChangeSettings& settings,
                     const std::function<bool()>& writeProperties);

// ApplyFileChange with the reason of a failure, made where it arises: Failure{} when the
// properties were written; else "no such file", "not a regular file", "its attributes cannot be
// read: <the system's words>", "read-only cannot be cleared: <the system's words>" (permission
// denied when the user does not own the file), the Failure of `writeProperties` unchanged, or
// "the file system cannot store <time>" (kind Conversion).
Failure runFileChange(const std::string& path, const FileChangeSettings& settings,
                      const std::function<Failure()>& writeProperties);

}  // namespace quorvane::fileinfo
