// The file change sequence: the one order in which a change touches a file, shared by the
// single change, the batch change and the command line. Snapshot; the final metadata computed
// (times, mode, attribute word and creation time); the properties written under a change scope
// (base/change_scope.h) that hands that metadata down; the times and the word settled last. The
// file keeps its read-only bit throughout: an in-place writer is let write only for the moment of
// its open, and a package rewrite gives its new file the final metadata before the rename, so
// that an interruption at any point leaves the file's mode, word and creation time as they were
// or as asked (and a package's times too; a file written in place may keep the moment of the
// write as its last-write time).
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

// Runs the sequence on `path`. `writeProperties` writes the document properties (package writer
// or compound-document rows) and returns false at the first write that fails; it finds the file
// as the snapshot has it, read-only included, with a ChangeScope open for it (a writer opens the
// file through openForChange and refuses it only when refusedAsReadOnly).
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
// file cannot be found or read, or `writeProperties` fails (a read-only file that its writer
// cannot open: "read-only cannot be cleared"); an exception from `writeProperties` passes
// through. On every way out before the times, the file gets the snapshot's attribute word and
// times back, so a read-only file never stays writable.
bool ApplyFileChange(const std::string& path, const FileChangeSettings& settings,
                     const std::function<bool()>& writeProperties);

// ApplyFileChange with the reason of a failure, made where it arises: Failure{} when the
// properties were written; else "no such file", "not a regular file", "its attributes cannot be
// read: <the system's words>", the Failure of `writeProperties` unchanged (openForChange's
// "read-only cannot be cleared: permission denied" when the user does not own a read-only file),
// or "the file system cannot store <time>" (kind Conversion).
Failure runFileChange(const std::string& path, const FileChangeSettings& settings,
                      const std::function<Failure()>& writeProperties);

}  // namespace quorvane::fileinfo
