// SPDX-License-Identifier: Apache-2.0
// Strict reading of dates and times in the ISO 8601 calendar forms, as the command line and the
// window's custom dates take them: YYYY-MM-DD, YYYY-MM-DD HH:MM[:SS], YYYY-MM-DDTHH:MM[:SS] and
// the time of day HH:MM[:SS], with fixed digit counts, no blanks around them, and every field
// checked against the calendar.
#pragma once

#include <optional>
#include <string_view>

#include "convert/date_time.h"

namespace quorvane::convert {

// What a value may hold: a date alone, a date with an optional time of day, or a time of day.
enum class DateTimeShape { Date, DateWithOptionalTime, TimeOfDay };

// Reads exactly `count` decimal digits at `position` of `text`; nullopt when any is not a digit or
// the text ends first.
std::optional<int> digitsAt(std::string_view text, std::size_t position, std::size_t count);

// The local date-time value of `text` read in `shape`; a time of day gives the value's fraction
// (day 0). nullopt for any other text: wrong digit counts ("2009-1-2", "1:2"), a missing
// separator ("2009-01-0213:45"), blanks before or after, or a field out of range (month 1-12,
// the day within its month with leap years, hour 0-23, minute and second 0-59).
std::optional<DateTime> parseIsoDateTime(std::string_view text, DateTimeShape shape);

// A date with an optional time as parseIsoDateTime reads it, or an RFC 3339 date-time with its
// offset as `show --json` prints it (convert/machine_date_text.h), as a local date-time value to
// the millisecond; nullopt for any other text.
std::optional<DateTime> parseDateOrInstant(std::string_view text);

}  // namespace quorvane::convert
