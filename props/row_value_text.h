// SPDX-License-Identifier: Apache-2.0
// The typed value of a row read from its display text (the window's tables, the saved batch
// settings).
#pragma once

#include <string>
#include <string_view>

#include "base/failure.h"
#include "props/row_value.h"

namespace quorvane::props {

// The value that the display text `text` of row `row` stands for: the text itself for the text
// rows and the revision number; for Total Editing Time a whole number of minutes from 0 (a '+'
// allowed before it); for the date rows the instant of the local date-time
// (convert/display_text.h). An empty text (blanks and control characters alone) of a minutes or
// date row is Clear. The failure (Conversion) for a text the row cannot take: "'<text>' is not a
// valid date and time", "'<text>' is not a whole number of minutes", "'<text>' is less than 0
// minutes".
Result<RowValue> rowValueOfDisplayText(int row, std::string_view text);


}  // namespace quorvane::props
