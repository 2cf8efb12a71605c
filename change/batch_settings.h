// SPDX-License-Identifier: Apache-2.0
// The batch settings as plain values: what the "Batch Change" page holds, turned into data the
// change engine and the saved defaults work with. The window copies its controls into this
// struct and back; nothing below the window reads a widget.
#pragma once

#include <array>
#include <string>

#include "fileinfo/change_settings.h"
#include "props/catalogue.h"
#include "convert/date_time.h"

namespace quorvane::change {

// Which of the three file times, in the order the window lists them.
enum FileTimeIndex { kCreationTime = 0, kModifyTime = 1, kLastAccessTime = 2 };

// One file time of the batch: a date picker and a time picker, each with its apply box. Only
// the date part of `datePicker` and the time part of `timePicker` are applied.
struct FileTimeSetting {
    bool applyDate = true;
    bool applyTime = true;
    convert::DateTime datePicker = 0;
    convert::DateTime timePicker = 0;
};

// The batch settings. Each row is applied only when checked; each attribute box sets, clears or
// (grayed) keeps its bit.
struct BatchSettings {
    std::array<FileTimeSetting, 3> fileTimes{};
    fileinfo::AttributeBoxes attributes{};
    std::array<std::string, props::kRowCount> rowValues{};
    std::array<bool, props::kRowCount> rowChecks{};
    bool backup = false;
    bool removeAllCustom = false;  // also remove every custom property of each file
    bool valuesAreTemplates = false;  // the checked rows' values are templates (change/batch_templates.h)
};

}  // namespace quorvane::change
