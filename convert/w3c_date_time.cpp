// SPDX-License-Identifier: Apache-2.0
#include "convert/w3c_date_time.h"

#include <charconv>
#include <chrono>
#include <cstdio>

#include "convert/date_time.h"
#include "convert/display_text.h"
#include "base/text_trim.h"

namespace quorvane::convert {
namespace {

// The decimal number at 1-based character positions [first, first + length) of `text`; 0 when
// the piece is not a number or lies (partly) beyond the end.
int numberAt(std::string_view text, std::size_t first, std::size_t length)
{
    if (first - 1 >= text.size()) return 0;
    std::string_view piece = text.substr(first - 1, length);
    if (!piece.empty() && piece.front() == '+') piece.remove_prefix(1);
    int number = 0;
    const auto [end, error] = std::from_chars(piece.data(), piece.data() + piece.size(), number);
    return error == std::errc() && end == piece.data() + piece.size() && !piece.empty() ? number : 0;
}

}  // namespace

std::string W3cDateTimeToDisplayText(std::string_view w3cText)
{
    if (w3cText.find('Z') == std::string_view::npos || w3cText.find('T') == std::string_view::npos) return "";
    const std::string_view text = trimBlanksAndControls(w3cText);
    const CalendarFields fields{numberAt(text, 1, 4),  numberAt(text, 6, 2),  numberAt(text, 9, 2),
                                numberAt(text, 12, 2), numberAt(text, 15, 2), numberAt(text, 18, 2), 0};
    const auto utcValue = encodeDateTime(fields);
    if (!utcValue) return "";
    return DateTimeToDisplayText(UtcToLocalByBias(*utcValue));
}

std::string utcMsToW3cText(std::int64_t utcMs)
{
    using namespace std::chrono;
    const sys_time<milliseconds> instant{milliseconds(utcMs)};
    const sys_days day = floor<days>(instant);
    const year_month_day date{day};
    if (!date.ok() || int(date.year()) < 1 || int(date.year()) > 9999) return "";
    const hh_mm_ss<milliseconds> time{instant - day};
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", int(date.year()), unsigned(date.month()),
                  unsigned(date.day()), int(time.hours().count()), int(time.minutes().count()), int(time.seconds().count()));
    return text;
}

std::string DisplayTextToW3cDateTime(std::string_view displayText)
{
    // Not a date-time: the package keeps no date.
    const auto localValue = readDisplayText(displayText);
    if (!localValue) return "";
    const CalendarFields f = decodeDateTime(LocalToUtcByBias(*localValue));
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", f.year, f.month, f.day, f.hour, f.minute,
                  f.second);
    return text;
}

}  // namespace quorvane::convert
