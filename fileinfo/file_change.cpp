#include "fileinfo/file_change.h"

#include "fileinfo/attribute_store.h"
#include "fileinfo/file_snapshot.h"
#include "fileinfo/file_times.h"

namespace quorvane::fileinfo {
namespace {

convert::DateTime composeFileTime(convert::FileTime own, const FileTimeSources& sources)
{
    return ComposeDateTime(convert::FileTimeToDateTime(own), sources.date, sources.time);
}

}  // namespace

Failure runFileChange(const std::string& path, const FileChangeSettings& settings,
                      const std::function<Failure()>& writeProperties)
{
    const auto snapshot = readFileSnapshot(path);
    if (!snapshot.ok()) return snapshot.failure();
    AttributeWordGuard putBack(path, snapshot->attributes);
    if (snapshot->attributes & kReadOnly) {
        const Failure cleared = setAttributeWord(path, snapshot->attributes & ~kReadOnly);
        if (cleared.failed()) return cleared.within("read-only cannot be cleared");
    }

    if (Failure written = writeProperties(); written.failed()) return written;

    // Neither result is looked at: a file whose times cannot be set (locked, say) still counts
    // as changed and still gets its final attribute word.
    putBack.dismiss();
    SetFileTimes(path, composeFileTime(snapshot->creationTime, settings.creation),
                 composeFileTime(snapshot->lastWriteTime, settings.lastWrite),
                 composeFileTime(snapshot->lastAccessTime, settings.lastAccess));
    writeAttributeWord(path, ApplyAttributeBoxes(snapshot->attributes, settings.boxes));
    return {};
}

bool ApplyFileChange(const std::string& path, const FileChangeSettings& settings,
                     const std::function<bool()>& writeProperties)
{
    return !runFileChange(path, settings, [&writeProperties] {
                return writeProperties() ? Failure() : Failure(FailureKind::Io, "the properties could not be written");
            }).failed();
}

}  // namespace quorvane::fileinfo
