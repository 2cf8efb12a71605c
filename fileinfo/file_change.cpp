#include "fileinfo/file_change.h"

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
// the success path, also when a property write throws.
class PutBackOnFailure {
public:
    PutBackOnFailure(const std::string& path, const FileSnapshot& snapshot) : path_(path), snapshot_(snapshot) {}
    PutBackOnFailure(const PutBackOnFailure&) = delete;
    PutBackOnFailure& operator=(const PutBackOnFailure&) = delete;
    ~PutBackOnFailure()
    {
        // Not looked at: the failure that led here is the one reported.
        if (armed_) restoreAfterRead(path_, snapshot_);
    }
    void dismiss() { armed_ = false; }

private:
    const std::string& path_;
    const FileSnapshot& snapshot_;
    bool armed_ = true;
};

}  // namespace

Failure runFileChange(const std::string& path, const FileChangeSettings& settings,
                      const std::function<Failure()>& writeProperties)
{
    const auto snapshot = readFileSnapshot(path);
    if (!snapshot.ok()) return snapshot.failure();
    PutBackOnFailure putBack(path, *snapshot);
    if (snapshot->attributes & kReadOnly) {
        const Failure cleared = setAttributeWord(path, snapshot->attributes & ~kReadOnly);
        if (cleared.failed()) return cleared.within("read-only cannot be cleared");
    }

    if (Failure written = writeProperties(); written.failed()) return written;

    // A file whose times cannot be set (locked, say) still counts as changed, and every file
    // gets its final attribute word; only a time the file system cannot store fails the change.
    putBack.dismiss();
    const FileInstants own = instantsOf(*snapshot);
    const FileInstants asked{composeFileTime(own.creation, settings.creation),
                             composeFileTime(own.lastAccess, settings.lastAccess),
                             composeFileTime(own.lastWrite, settings.lastWrite)};
    const Failure timesSet = setFileInstants(path, asked, own);
    writeAttributeWord(path, ApplyAttributeBoxes(snapshot->attributes, settings.boxes));
    return timesSet.kind() == FailureKind::Conversion ? timesSet : Failure();
}

bool ApplyFileChange(const std::string& path, const FileChangeSettings& settings,
                     const std::function<bool()>& writeProperties)
{
    return !runFileChange(path, settings, [&writeProperties] {
                return writeProperties() ? Failure() : Failure(FailureKind::Io, "the properties could not be written");
            }).failed();
}

}  // namespace quorvane::fileinfo
