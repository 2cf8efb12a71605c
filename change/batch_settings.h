// The batch settings as plain values: what the "Batch Change" page holds, turned into data the
// change engine and the saved defaults work with. The window copies its controls into this
// struct and back; nothing below the window reads a widget.
#pragma once

#include <array>
#include <string>

#include "props/catalogue.h"
#include "props/date_time.h"

namespace quorvane::change {

// A three-state attribute box: set the bit, clear it, or leave it as the file has it.
enum class TriState { Grayed, Checked, Unchecked };

// Which of the three file times, in the order the window lists them.
enum FileTimeIndex { kCreationTime = 0, kModifyTime = 1, kLastAccessTime = 2 };

// Which of the four attribute boxes, in the order the window lists them.
enum AttributeIndex { kReadOnlyBox = 0, kArchiveBox = 1, kHiddenBox = 2, kSystemBox = 3 };

// One file time of the batch: a date picker and a time picker, each with its apply box. Only
// the date part of `datePicker` and the time part of `timePicker` are applied.
struct FileTimeSetting {
    bool applyDate = true;
    bool applyTime = true;
    props::DateTime datePicker = 0;
    props::DateTime timePicker = 0;
};

struct BatchSettings {
    std::array<FileTimeSetting, 3> fileTimes{};
    std::array<TriState, 4> attributes{TriState::Grayed, TriState::Grayed, TriState::Grayed, TriState::Grayed};
    std::array<std::string, props::kRowCount> rowValues{};
    std::array<bool, props::kRowCount> rowChecks{};
    bool backup = false;
};

}  // namespace quorvane::change
