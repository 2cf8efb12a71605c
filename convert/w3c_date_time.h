// SPDX-License-Identifier: Apache-2.0
// The W3C date-time text of package parts ("yyyy-mm-ddThh:nn:ssZ", UTC) and the display text.
// Both directions never throw: any failure gives empty text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvane::convert {

// Reads the fixed positions of a W3C date-time (year 1-4, month 6-7, day 9-10, hour 12-13,
// minute 15-16, second 18-19 of the trimmed text); needs a "T" and a "Z" somewhere. Returns the
// local display text, or "" when the text does not qualify or a field is out of range.
std::string W3cDateTimeToDisplayText(std::string_view w3cText);

// The W3C date-time text of a display text, or "" when the display text is not a date-time.
std::string DisplayTextToW3cDateTime(std::string_view displayText);

// The W3C date-time text of an instant given in milliseconds since 1970-01-01 00:00 UTC, to the
// second; "" when its UTC year leaves 1 to 9999.
std::string utcMsToW3cText(std::int64_t utcMs);

}  // namespace quorvane::convert
