// SPDX-License-Identifier: Apache-2.0
// The single change and the batch change of one file as the window names them: thin wrappers of
// the one change path (file_plan.h) that give true when the file was changed (or needed no
// change). The window itself goes through the plan and apply, to show the reason of a failure.
#pragma once

#include <array>
#include <string>

#include "change/batch_settings.h"
#include "fileinfo/change_settings.h"
#include "package/package_rows.h"

namespace quorvane::change {

// The values of the "Single Change" page.
struct SingleChangeValues {
    props::RowTexts rowValues{};
    // Per file time (FileTimeIndex order): the date picker's and the time picker's values; the new
    // time is the date part of the first with the time of day of the second. Pickers that still
    // show the file's time (to the whole second) keep it exactly.
    std::array<convert::DateTime, 3> datePickers{};
    std::array<convert::DateTime, 3> timePickers{};
    fileinfo::AttributeBoxes attributes{};
};

// Writes every row, the three times and the attribute boxes to `path` (singleChangeRequest,
// applyFileChange). True when the file holds them; false when a row text is no value of its row,
// or the change was refused or failed (the file then as it was).
bool ApplySingleChange(const std::string& path, const SingleChangeValues& values);

// The batch change of one file (batchRequest, applyFileChange). Results as ApplySingleChange.
bool ApplyBatchChangeToFile(const std::string& path, const BatchSettings& settings);

// Whether a batch would change anything: an apply box checked, an attribute box not grayed, a
// row checked, or removeAllCustom.
bool BatchHasWork(const BatchSettings& settings);

}  // namespace quorvane::change
