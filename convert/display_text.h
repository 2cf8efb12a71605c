// SPDX-License-Identifier: Apache-2.0
// Date-time display text: the user's short date format, a blank, the long time format, with
// the time left out at midnight. The formats come from the process locale's LC_TIME (two-digit
// years widened to four digits; the C/POSIX locale uses %Y-%m-%d and %H:%M:%S), so a program
// that wants the user's formats calls setlocale(LC_TIME, "") at start. A year is always written
// with four digits (0999).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "convert/date_time.h"

namespace quorvane::convert {

// The display text of a local date-time value (seconds resolution); "" for a value outside
// years 1..9999 (a FILETIME can reach year 30828), which no display text reads back.
std::string DateTimeToDisplayText(DateTime value);

// Reads a display text back: everything DateTimeToDisplayText writes in the current locale,
// also with the seconds left out, a date alone, or a time alone (on day 0). Throws
// quorvane::Error("'<text>' is not a valid date and time") for anything else.
DateTime DisplayTextToDateTime(std::string_view text);

// DisplayTextToDateTime without the throw: nullopt for a text it does not read.
std::optional<DateTime> readDisplayText(std::string_view text);

// The strftime formats of the display text in the current locale: the short date, and the long
// time with its seconds (composite conversions spelt out, two-digit years widened to %Y), so that
// a window can show dates and times in the same form.
std::string displayDateFormat();
std::string displayTimeFormat();

// The words for a text that is no date and time: "'<text>' is not a valid date and time".
std::string notADateText(std::string_view text);

}  // namespace quorvane::convert
