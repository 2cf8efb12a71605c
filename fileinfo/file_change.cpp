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

bool ApplyFileChange(const std::string& path, const FileChangeSettings& settings,
                     const std::function<bool()>& writeProperties)
{
    const auto snapshot = ReadFileAttributeData(path);
    if (!snapshot) return false;
    AttributeWordGuard putBack(path, snapshot->attributes);
    if ((snapshot->attributes & kReadOnly) && !writeAttributeWord(path, snapshot->attributes & ~kReadOnly))
        return false;

    if (!writeProperties()) return false;

    // Neither result is looked at: a file whose times cannot be set (locked, say) still counts
    // as changed and still gets its final attribute word.
    putBack.dismiss();
    SetFileTimes(path, composeFileTime(snapshot->creationTime, settings.creation),
                 composeFileTime(snapshot->lastWriteTime, settings.lastWrite),
                 composeFileTime(snapshot->lastAccessTime, settings.lastAccess));
    writeAttributeWord(path, ApplyAttributeBoxes(snapshot->attributes, settings.boxes));
    return true;
}

}  // namespace quorvane::fileinfo
