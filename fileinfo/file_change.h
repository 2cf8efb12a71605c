// SPDX-License-Identifier: Apache-2.0
// The file change sequence: the one order in which a change touches a file, shared by the
// single change, the batch change and the command line. Snapshot; the final metadata computed
// (times, mode, attribute word and creation time); the content written with that metadata
// handed down (base/change_scope.h); the times and the word settled last. The
// file keeps its read-only bit throughout: an in-place writer is let write only for the moment of
// its open, and a package rewrite gives its new file the final metadata before the rename, so
// that an interruption at any point leaves the file's mode, word and creation time as they were
// or as asked (and a package's times too; a file written in place may keep the moment of the
// write as its last-write time).
#pragma once

#include <functional>
#include <string>

#include "base/change_scope.h"
#include "base/failure.h"
#include "fileinfo/change_settings.h"
#include "fileinfo/file_times.h"

namespace quorvane::fileinfo {

struct FileChangeSettings {
    FileTimeSources creation;
    FileTimeSources lastWrite;
    FileTimeSources lastAccess;
    AttributeBoxes boxes;
};

// The instants the sequence gives a file whose snapshot is `snapshot`: each new time is
// ComposeDateTime of the file's own time and its sources, to the millisecond; a time that no
// source changes (or whose shown pickers still show it) is the snapshot's exactly, to the
// nanosecond. A changed local time that occurs twice (the repeated hour when daylight saving
// ends) keeps the offset of the time it replaces; one that does not occur (the skipped hour)
// moves forward by the skipped length, as mktime does.
FileInstants askedInstants(const FileSnapshot& snapshot, const FileChangeSettings& settings);

// Runs the sequence on `path`. `writeProperties` writes the document's content and returns the
// first failure; it finds the file as the snapshot has it, read-only included, and gets the
// final metadata to hand to its writer (a writer opens the file through openForChange with it,
// and a rewrite gives its new file that metadata before the rename). The times are
// askedInstants; the creation time is stored only where it differs from what the file reports
// after the write. The final word is ApplyAttributeBoxes of the snapshot's word.
// Failure{} when the content was written; the time setting and the final word are not looked at
// (a file locked by another process still gets its attribute word), except a time that the file
// system cannot store (setFileInstants): that time keeps its value and the failure is "the file
// system cannot store <time>" (kind Conversion), with the content, the other times and the word
// changed all the same. Otherwise "no such file", "not a regular file", "its attributes cannot
// be read: <the system's words>", or the failure of `writeProperties` unchanged. On every way
// out before the times, the file gets the snapshot's attribute word and times back, so a
// read-only file never stays writable.
Failure runFileChange(const std::string& path, const FileChangeSettings& settings,
                      const std::function<Failure(const FinalMetadata&)>& writeProperties);

}  // namespace quorvane::fileinfo
