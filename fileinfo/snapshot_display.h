// SPDX-License-Identifier: Apache-2.0
// The texts under which a file snapshot is shown and exported: the three times as date-time
// display text and the four attributes as "Y" or empty, in the order of the catalogue's seven
// file-time and attribute labels (props/catalogue.h).
#pragma once

#include <array>
#include <string>

#include "fileinfo/file_snapshot.h"
#include "props/catalogue.h"

namespace quorvane::fileinfo {

// A last-access time is shown only when, as a local date-time value, it lies after day 1602
// (1904-05-20 00:00): file systems report the zero time and other placeholders for "never".
inline constexpr convert::DateTime kLastAccessShownAfter = 1602.0;
bool isShownLastAccess(convert::DateTime lastAccess);

// What a date picker and a time picker show together for a local date-time value: its date and
// time of day to the whole second (the pickers hold no milliseconds).
convert::DateTime pickerValueOf(convert::DateTime value);

// "Y" when `word` has `bit`, else "".
std::string attributeFlagText(AttributeWord word, AttributeWord bit);

// Indexed like fileInfoLabel(): creation, modify and last-access time (empty under the rule
// above), then read-only, archive, hidden and system.
std::array<std::string, props::kFileInfoLabelCount> fileInfoTexts(const FileSnapshot& snapshot);

}  // namespace quorvane::fileinfo
