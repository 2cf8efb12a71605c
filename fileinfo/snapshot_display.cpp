// SPDX-License-Identifier: Apache-2.0
#include "fileinfo/snapshot_display.h"

#include "convert/display_text.h"

namespace quorvane::fileinfo {

bool isShownLastAccess(convert::DateTime lastAccess) { return lastAccess > kLastAccessShownAfter; }

convert::DateTime pickerValueOf(convert::DateTime value)
{
    convert::CalendarFields fields = convert::decodeDateTime(value);
    fields.millisecond = 0;
    return convert::encodeDateTime(fields).value_or(value);
}

std::string attributeFlagText(AttributeWord word, AttributeWord bit) { return (word & bit) ? "Y" : ""; }

std::array<std::string, props::kFileInfoLabelCount> fileInfoTexts(const FileSnapshot& snapshot)
{
    std::array<std::string, props::kFileInfoLabelCount> texts;
    texts[props::kCreationTimeLabel] = convert::DateTimeToDisplayText(convert::FileTimeToDateTime(snapshot.creationTime));
    texts[props::kModifyTimeLabel] = convert::DateTimeToDisplayText(convert::FileTimeToDateTime(snapshot.lastWriteTime));
    const convert::DateTime lastAccess = convert::FileTimeToDateTime(snapshot.lastAccessTime);
    if (isShownLastAccess(lastAccess)) texts[props::kLastAccessTimeLabel] = convert::DateTimeToDisplayText(lastAccess);
    texts[props::kReadOnlyLabel] = attributeFlagText(snapshot.attributes, kReadOnly);
    texts[props::kArchiveLabel] = attributeFlagText(snapshot.attributes, kArchive);
    texts[props::kHiddenLabel] = attributeFlagText(snapshot.attributes, kHidden);
    texts[props::kSystemLabel] = attributeFlagText(snapshot.attributes, kSystem);
    return texts;
}

}  // namespace quorvane::fileinfo
