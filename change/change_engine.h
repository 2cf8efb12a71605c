// Applying changes to one file: the single change (every row, the three times as shown) and
// the batch change of one file (the checked rows, the times composed from the file's own and
// the apply boxes). Both run the file change sequence of the file layer with the property
// writer of the file's format; the window and the command line hand in plain values.
#pragma once

#include <array>
#include <string>

#include "base/failure.h"
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

// Writes every row, the three times and the attribute boxes to `path`. True when the properties
// were written (the times and the final attribute word are set but not looked at); false when
// the file cannot be found or read, its read-only bit cannot be cleared, or a property write
// fails (the rows before it stay written). Conversion, XML and archive errors pass through as
// quorvane::Error, the file's attribute word put back.
bool ApplySingleChange(const std::string& path, const SingleChangeValues& values);

// The batch change of one file: the checked rows, each file time composed from the file's own
// with the date and time parts whose apply boxes are checked, the attribute boxes; with
// `removeAllCustom` every custom property is removed too, right after the rows, in a change of
// its own that keeps the times and attributes the first one gave (change/custom_change.h; a
// failed first change leaves them). Results and errors as ApplySingleChange.
bool ApplyBatchChangeToFile(const std::string& path, const BatchSettings& settings);

// ApplySingleChange and ApplyBatchChangeToFile with the reason of a failure: Failure{} when the
// properties were written, else why the file was not changed (or not completely).
Failure changeSingleFile(const std::string& path, const SingleChangeValues& values);
Failure changeFileInBatch(const std::string& path, const BatchSettings& settings);

// Whether a batch would change anything: an apply box checked, an attribute box not grayed, a
// row checked, or removeAllCustom.
bool BatchHasWork(const BatchSettings& settings);

}  // namespace quorvane::change
