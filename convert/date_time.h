// SPDX-License-Identifier: Apache-2.0
// The program's date-time value and its conversions to and from FILETIME, between local time
// and UTC. A date-time value is a double counting days since 1899-12-30 00:00 with the time of
// day as its fraction; it holds local time except inside the package date conversions.
// Every local/UTC conversion uses the zone offset in force at the instant converted (daylight
// saving included), read from the C library's time-zone rules (TZ) at the moment of the call.
// A local time that occurs twice (the hour repeated when daylight saving ends) is the earlier
// of its two instants unless an offset is preferred; a local time that does not occur (the hour
// skipped when daylight saving starts) moves forward by the skipped length, as mktime does:
// 02:30 on a day that skips from 02:00 to 03:00 is 03:30.
#pragma once

#include <cstdint>
#include <optional>

namespace quorvane::convert {

using DateTime = double;
using FileTime = std::uint64_t;  // 100-ns units since 1601-01-01 00:00 UTC

inline constexpr std::int64_t kFileTimeUnitsPerMinute = 600'000'000;
inline constexpr int kMinutesPerDay = 1440;

struct CalendarFields {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// The value of the given fields, or nullopt when a field is out of range (years 1..9999,
// real calendar days, hours 0..23, minutes and seconds 0..59, milliseconds 0..999).
std::optional<DateTime> encodeDateTime(const CalendarFields& fields);

// The calendar fields of a value, rounded to the millisecond. The date part is the value
// truncated toward zero and the time of day its fractional part, counted away from day 0.
CalendarFields decodeDateTime(DateTime value);

// The calendar fields of a value (as decodeDateTime gives them) when they fall in years 1..9999;
// nullopt for any other value, NaN and infinities included.
std::optional<CalendarFields> decodeDateTimeInRange(DateTime value);

// The date part (truncated toward zero) and time part (the rest) of a value.
DateTime datePart(DateTime value);
DateTime timePart(DateTime value);

// Seconds east of UTC in force at a UTC instant (seconds since 1970-01-01 00:00 UTC).
std::int64_t utcOffsetSecondsAt(std::int64_t utcSeconds);

// The UTC instant of a local date-time value in milliseconds since 1970-01-01 00:00 UTC, not
// cut at 1601. In a repeated hour, the instant whose offset is `preferredOffsetSeconds` when
// that is one of the two (so that a changed time keeps the offset of the one it replaces).
// nullopt for a value far outside years 1..9999, NaN and infinities.
std::optional<std::int64_t> localToUtcEpochMs(DateTime localValue,
                                              std::optional<std::int64_t> preferredOffsetSeconds = std::nullopt);
// The local date-time value of a UTC instant in milliseconds since 1970-01-01 00:00 UTC.
DateTime utcEpochMsToDateTime(std::int64_t utcMs);

// Local date-time value to a UTC FILETIME. A local time before 1601-01-01 00:00 UTC gives 0.
FileTime DateTimeToUtcFileTime(DateTime localValue);

// UTC FILETIME to a local date-time value, exact to the millisecond.
DateTime FileTimeToDateTime(FileTime utcFileTime);

// Shifts a local date-time value to UTC and back, with the offset in force at that instant.
DateTime LocalToUtcByBias(DateTime localValue);
DateTime UtcToLocalByBias(DateTime utcValue);

}  // namespace quorvane::convert
