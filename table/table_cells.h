// SPDX-License-Identifier: Apache-2.0
// The forms in which a value table (table/value_table.h) gives dates and numbers, so that a table
// re-saved by a spreadsheet reads as the one exported.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "convert/machine_date_text.h"

namespace quorvane::table {

// The instant a date cell names, in the first form that reads the whole text:
// - RFC 3339 with its offset, as `show --json` prints it ("2024-05-01T09:30:00+02:00");
// - the forms `set` takes, local time: "2024-05-01", "2024-05-01 09:30[:00]", "2024-05-01T09:30[:00]";
// - the window's display text in the current locale (convert/display_text.h);
// - the locale's short date in the order of its LC_TIME date format, day and month of one or two
//   digits, a year of four or two digits (00-29 as 20xx), then optionally a time H:MM[:SS] with
//   AM or PM ("01.05.2024 09:30" under de_DE, "5/1/2024 9:30 AM" under en_US).
// Local times are converted with the offset in force at them; nullopt for any other text.
struct TableInstant {
    convert::Rfc3339Instant instant;  // fractionDigits 0 for a local time
    // What the text gives to the second or finer (1), to the minute (60) or only the day (86400).
    std::int64_t precisionSeconds = 1;
};
std::optional<TableInstant> tableInstantOf(std::string_view text);

// Whether the instant `utcSeconds` + `nanoseconds` is the cell's to the precision the cell gives:
// the same local minute or day for a cell without seconds or time, the same second and the same
// leading digits of its fraction otherwise.
bool sameAtCellPrecision(const TableInstant& cell, std::int64_t utcSeconds, std::int32_t nanoseconds);

// The number text of a real-valued cell in the C form: the locale's decimal separator (LC_NUMERIC,
// as the spreadsheet under that locale writes it, "2,5" under de_DE) read as '.'.
std::string numberTextOfCell(std::string text);

}  // namespace quorvane::table
