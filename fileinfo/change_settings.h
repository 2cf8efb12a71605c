// SPDX-License-Identifier: Apache-2.0
// What a change asks of a file's attributes and times: the four three-state attribute boxes and,
// per file time, the date and time-of-day sources that replace parts of the file's own time.
// Plain values, filled by the window, the batch settings or the command line.
#pragma once

#include <optional>

#include "fileinfo/attribute_word.h"
#include "convert/date_time.h"

namespace quorvane::fileinfo {

// The values of a three-state check box.
enum class BoxState { Unchecked = 0, Checked = 1, Grayed = 2 };

struct AttributeBoxes {
    BoxState readOnly = BoxState::Grayed;
    BoxState archive = BoxState::Grayed;
    BoxState hidden = BoxState::Grayed;
    BoxState system = BoxState::Grayed;

    friend bool operator==(const AttributeBoxes&, const AttributeBoxes&) = default;
};

// Checked sets `bit`, unchecked clears it, grayed leaves `word` as it is.
AttributeWord ApplyTriState(AttributeWord word, BoxState state, AttributeWord bit);

// ApplyTriState for read-only, archive, hidden and system, in that order. Other bits are kept.
AttributeWord ApplyAttributeBoxes(AttributeWord word, const AttributeBoxes& boxes);

// Where the parts of one new file time come from: the date part of `date`, the time of day of
// `time`; an absent source keeps that part of the file's own time. A single change gives both,
// from pickers that were set to the file's time as shown (to the whole second, snapshot_display.h):
// `fromShownPickers` marks that, and while they still show it the file keeps its exact time.
struct FileTimeSources {
    std::optional<convert::DateTime> date;
    std::optional<convert::DateTime> time;
    bool fromShownPickers = false;
};

// `base` with its date part replaced by that of `date` (when given), then its time of day by
// that of `time` (when given). A date part is a value truncated toward zero; a time of day is
// the fraction, which for a day before 1899-12-30 counts away from day 0, so that joining a date
// and a time gives that date at that time on either side of day 0.
convert::DateTime ComposeDateTime(convert::DateTime base, std::optional<convert::DateTime> date,
                                std::optional<convert::DateTime> time);

}  // namespace quorvane::fileinfo
