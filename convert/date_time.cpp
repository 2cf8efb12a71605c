// SPDX-License-Identifier: Apache-2.0
#include "convert/date_time.h"

#include <ctime>

#include <algorithm>
#include <cmath>

namespace quorvane::convert {
namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;
// Milliseconds from 1601-01-01 (FILETIME's origin) to 1970-01-01 (the C library's).
constexpr std::int64_t kFileTimeOriginToUnixMs = 11'644'473'600'000;
// Beyond this many days from day 0 a value lies far outside years 1..9999; such values are
// treated as unusable instead of being fed into integer arithmetic.
constexpr double kMaxAbsDays = 4'000'000;

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
constexpr std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + std::int64_t(doe) - 719468;
}

// The reverse of daysFromCivil.
void civilFromDays(std::int64_t z, std::int64_t& y, int& m, int& d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = std::int64_t(yoe) + era * 400 + (m <= 2);
}

constexpr std::int64_t kDayZero = daysFromCivil(1899, 12, 30);

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// A value as milliseconds since 1970-01-01 00:00 of its own clock (no zone applied).
std::optional<std::int64_t> epochMsOf(DateTime value)
{
    if (!std::isfinite(value) || std::fabs(value) > kMaxAbsDays) return std::nullopt;
    const std::int64_t dayNumber = std::int64_t(std::trunc(value));
    const std::int64_t msOfDay = std::llround(std::fabs(value - double(dayNumber)) * double(kMsPerDay));
    // The fraction counts away from day 0 for negative values: -1.25 is day -1 at 06:00.
    return (kDayZero + dayNumber) * kMsPerDay + msOfDay;
}

DateTime dateTimeOfEpochMs(std::int64_t epochMs)
{
    const std::int64_t dayNumber = floorDiv(epochMs, kMsPerDay) - kDayZero;
    const double timeOfDay = double(epochMs - floorDiv(epochMs, kMsPerDay) * kMsPerDay) / double(kMsPerDay);
    return dayNumber >= 0 ? double(dayNumber) + timeOfDay : double(dayNumber) - timeOfDay;
}

std::int64_t utcMsToLocalMs(std::int64_t utcMs)
{
    return utcMs + 1000 * utcOffsetSecondsAt(floorDiv(utcMs, 1000));
}

// The UTC instant whose local time is `localMs`. The candidates are the offsets a day before
// and a day after (those on either side of a change of offset near that time); an offset fits
// when the instant it gives has that offset. Both fit in a repeated hour: the preferred one
// when it is one of them, else the earlier instant. Neither fits in a skipped hour: the offset
// in force before the change is taken, which lands after it, as mktime does.
std::int64_t localMsToUtcMs(std::int64_t localMs, std::optional<std::int64_t> preferredOffsetSeconds)
{
    constexpr std::int64_t kSecondsPerDay = 86'400;
    const std::int64_t localSeconds = floorDiv(localMs, 1000);
    const std::int64_t offsetBefore = utcOffsetSecondsAt(localSeconds - kSecondsPerDay);
    const std::int64_t offsetAfter = utcOffsetSecondsAt(localSeconds + kSecondsPerDay);
    const auto fits = [localMs](std::int64_t offset) {
        return utcOffsetSecondsAt(floorDiv(localMs - 1000 * offset, 1000)) == offset;
    };
    std::int64_t offset = offsetBefore;
    if (offsetAfter != offsetBefore && fits(offsetAfter)) {
        if (!fits(offsetBefore) || preferredOffsetSeconds == offsetAfter) offset = offsetAfter;
        else if (preferredOffsetSeconds != offsetBefore) offset = std::max(offsetBefore, offsetAfter);
    }
    return localMs - 1000 * offset;
}

}  // namespace

std::int64_t utcOffsetSecondsAt(std::int64_t utcSeconds)
{
    const std::time_t instant = std::time_t(utcSeconds);
    std::tm local{};
    if (!localtime_r(&instant, &local)) return 0;
    return local.tm_gmtoff;
}

std::optional<std::int64_t> localToUtcEpochMs(DateTime localValue, std::optional<std::int64_t> preferredOffsetSeconds)
{
    const auto localMs = epochMsOf(localValue);
    if (!localMs) return std::nullopt;
    return localMsToUtcMs(*localMs, preferredOffsetSeconds);
}

DateTime utcEpochMsToDateTime(std::int64_t utcMs) { return dateTimeOfEpochMs(utcMsToLocalMs(utcMs)); }

std::optional<DateTime> encodeDateTime(const CalendarFields& f)
{
    if (f.year < 1 || f.year > 9999 || f.month < 1 || f.month > 12 || f.day < 1 ||
        f.day > daysInMonth(f.year, f.month) || f.hour < 0 || f.hour > 23 || f.minute < 0 || f.minute > 59 ||
        f.second < 0 || f.second > 59 || f.millisecond < 0 || f.millisecond > 999)
        return std::nullopt;
    const std::int64_t dayNumber = daysFromCivil(f.year, unsigned(f.month), unsigned(f.day)) - kDayZero;
    const std::int64_t msOfDay = ((f.hour * 60LL + f.minute) * 60 + f.second) * 1000 + f.millisecond;
    const double timeOfDay = double(msOfDay) / double(kMsPerDay);
    return dayNumber >= 0 ? double(dayNumber) + timeOfDay : double(dayNumber) - timeOfDay;
}

CalendarFields decodeDateTime(DateTime value)
{
    CalendarFields fields;
    const auto epochMs = epochMsOf(value);
    if (!epochMs) return fields;
    const std::int64_t days = floorDiv(*epochMs, kMsPerDay);
    std::int64_t msOfDay = *epochMs - days * kMsPerDay;
    std::int64_t year = 0;
    civilFromDays(days, year, fields.month, fields.day);
    fields.year = int(year);
    fields.hour = int(msOfDay / 3'600'000);
    msOfDay %= 3'600'000;
    fields.minute = int(msOfDay / 60'000);
    msOfDay %= 60'000;
    fields.second = int(msOfDay / 1000);
    fields.millisecond = int(msOfDay % 1000);
    return fields;
}

std::optional<CalendarFields> decodeDateTimeInRange(DateTime value)
{
    if (!epochMsOf(value)) return std::nullopt;
    const CalendarFields fields = decodeDateTime(value);
    if (fields.year < 1 || fields.year > 9999) return std::nullopt;
    return fields;
}

DateTime datePart(DateTime value) { return std::trunc(value); }

DateTime timePart(DateTime value) { return value - std::trunc(value); }

FileTime DateTimeToUtcFileTime(DateTime localValue)
{
    const auto localMs = epochMsOf(localValue);
    if (!localMs) return 0;
    const std::int64_t msSinceOrigin = localMsToUtcMs(*localMs, std::nullopt) + kFileTimeOriginToUnixMs;
    return msSinceOrigin < 0 ? 0 : FileTime(msSinceOrigin) * 10'000;
}

DateTime FileTimeToDateTime(FileTime utcFileTime)
{
    const std::int64_t utcMs = std::int64_t(utcFileTime / 10'000) - kFileTimeOriginToUnixMs;
    return dateTimeOfEpochMs(utcMsToLocalMs(utcMs));
}

DateTime LocalToUtcByBias(DateTime localValue)
{
    const auto localMs = epochMsOf(localValue);
    return localMs ? dateTimeOfEpochMs(localMsToUtcMs(*localMs, std::nullopt)) : localValue;
}

DateTime UtcToLocalByBias(DateTime utcValue)
{
    const auto utcMs = epochMsOf(utcValue);
    return utcMs ? dateTimeOfEpochMs(utcMsToLocalMs(*utcMs)) : utcValue;
}

}  // namespace quorvane::convert
