// SPDX-License-Identifier: Apache-2.0
#include "fileinfo/file_change.h"

#include <cerrno>
#include <sys/stat.h>

#include "fileinfo/attribute_store.h"
#include "fileinfo/file_snapshot.h"
#include "fileinfo/file_times.h"
#include "fileinfo/snapshot_display.h"

namespace quorvane::fileinfo {
namespace {

// The new instant of a time: the file's own, exactly, unless a source changes its local date or
// time of day. A changed time keeps the offset of the one it replaces when its local time occurs
// twice, and moves forward when it does not occur (date_time.h); with its time of day kept, it
// keeps the nanoseconds below the millisecond too.
timespec composeFileTime(const timespec& own, const FileTimeSources& sources)
{
    if (!sources.date && !sources.time) return own;
    const convert::DateTime ownLocal = convert::utcEpochMsToDateTime(epochMsOf(own));
    const convert::DateTime composed = ComposeDateTime(ownLocal, sources.date, sources.time);
    if (sources.fromShownPickers && composed == pickerValueOf(ownLocal)) return own;
    const auto utcMs = convert::localToUtcEpochMs(composed, convert::utcOffsetSecondsAt(own.tv_sec));
    if (!utcMs) return own;  // a source far outside years 1..9999: no instant to give
    timespec instant = timespecOfEpochMs(*utcMs);
    if (!sources.time) instant.tv_nsec += own.tv_nsec % 1'000'000;
    return instant;
}

// Puts the file back as the snapshot has it (times and attribute word) on a way out that is not
// the success path, also when a property write throws; read-only is never cleared for it.
class PutBackOnFailure {
public:
    PutBackOnFailure(const std::string& path, const FileSnapshot& snapshot) : path_(path), snapshot_(snapshot) {}
    PutBackOnFailure(const PutBackOnFailure&) = delete;
    PutBackOnFailure& operator=(const PutBackOnFailure&) = delete;
    ~PutBackOnFailure()
    {
        // Not looked at: the failure that led here is the one reported.
        const FileInstants own = instantsOf(snapshot_);
        if (armed_) settleFileMetadata(path_, own, own, snapshot_.attributes);
    }
    void dismiss() { armed_ = false; }

private:
    const std::string& path_;
    const FileSnapshot& snapshot_;
    bool armed_ = true;
};

constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

// What the file is to carry once written: the asked times, the final word as mode and stored
// attribute, and the asked creation time stored with the word. A package's new file takes all of
// it before its rename. A word that clears read-only on a read-only file gives the owner's write
// bit here; the attribute step after the write then adds what setAttributeWord gives the others.
FinalMetadata finalMetadataOf(const std::string& path, const struct stat& info, const FileInstants& asked,
                              convert::FileTime previousCreation, AttributeWord finalWord)
{
    FinalMetadata final;
    const mode_t mode = info.st_mode & 07777;
    final.permissionBits = (finalWord & kReadOnly) ? mode & ~kAnyWriteBit
                           : (mode & kAnyWriteBit) ? mode
                                                   : mode | S_IWUSR;
    final.lastAccess = asked.lastAccess;
    final.lastWrite = asked.lastWrite;
    const convert::FileTime creation = fileTimeOf(asked.creation);
    addWordAttributes(final, path, finalWord, creation != 0 ? creation : previousCreation);
    return final;
}

}  // namespace

FileInstants askedInstants(const FileSnapshot& snapshot, const FileChangeSettings& settings)
{
    const FileInstants own = instantsOf(snapshot);
    return {composeFileTime(own.creation, settings.creation), composeFileTime(own.lastAccess, settings.lastAccess),
            composeFileTime(own.lastWrite, settings.lastWrite)};
}

Failure runFileChange(const std::string& path, const FileChangeSettings& settings,
                      const std::function<Failure(const FinalMetadata&)>& writeProperties)
{
    const auto snapshot = readFileSnapshot(path);
    if (!snapshot.ok()) return snapshot.failure();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return Failure::fromErrno(errno);
    const FileInstants own = instantsOf(*snapshot);
    const FileInstants asked = askedInstants(*snapshot, settings);
    const AttributeWord finalWord = ApplyAttributeBoxes(snapshot->attributes, settings.boxes);

    PutBackOnFailure putBack(path, *snapshot);
    // The file keeps its read-only bit while it is written: the writers open it for the change
    // (openForChange) and a rewrite gives its new file the final metadata.
    const FinalMetadata final = finalMetadataOf(path, info, asked, snapshot->creationTime, finalWord);
    if (Failure written = writeProperties(final); written.failed()) return written;

    // A file whose times cannot be set (locked, say) still counts as changed, and every file
    // gets its final attribute word; only a time the file system cannot store fails the change.
    putBack.dismiss();
    const Failure timesSet = settleFileMetadata(path, asked, own, finalWord);
    return timesSet.kind() == FailureKind::Conversion ? timesSet : Failure();
}

}  // namespace quorvane::fileinfo
