#include "fileinfo/snapshot_display.h"

#include "props/display_text.h"

namespace quorvane::fileinfo {

bool isShownLastAccess(props::DateTime lastAccess) { return lastAccess > kLastAccessShownAfter; }

std::string attributeFlagText(AttributeWord word, AttributeWord bit) { return (word & bit) ? "Y" : ""; }

std::array<std::string, props::kFileInfoLabelCount> fileInfoTexts(const FileSnapshot& snapshot)
{
    std::array<std::string, props::kFileInfoLabelCount> texts;
    texts[props::kCreationTimeLabel] = props::DateTimeToDisplayText(props::FileTimeToDateTime(snapshot.creationTime));
    texts[props::kModifyTimeLabel] = props::DateTimeToDisplayText(props::FileTimeToDateTime(snapshot.lastWriteTime));
    const props::DateTime lastAccess = props::FileTimeToDateTime(snapshot.lastAccessTime);
    if (isShownLastAccess(lastAccess)) texts[props::kLastAccessTimeLabel] = props::DateTimeToDisplayText(lastAccess);
    texts[props::kReadOnlyLabel] = attributeFlagText(snapshot.attributes, kReadOnly);
    texts[props::kArchiveLabel] = attributeFlagText(snapshot.attributes, kArchive);
    texts[props::kHiddenLabel] = attributeFlagText(snapshot.attributes, kHidden);
    texts[props::kSystemLabel] = attributeFlagText(snapshot.attributes, kSystem);
    return texts;
}

}  // namespace quorvane::fileinfo
