// SPDX-License-Identifier: Apache-2.0
#include "convert/machine_date_text.h"

#include <cstdio>

#include "convert/iso_date_time.h"

namespace quorvane::convert {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
// FILETIME 0 (1601-01-01) counted in seconds before the Unix epoch.
constexpr std::int64_t kFileTimeEpochSeconds = 11644473600;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant, "chrono-Compatible Low-Level
// Date Algorithms", days_from_civil).
std::int64_t daysFromCivil(std::int64_t year, int month, int day)
{
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The date of a count of days since 1970-01-01 (the same paper, civil_from_days).
void civilFromDays(std::int64_t days, std::int64_t& year, int& month, int& day)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    day = int(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = int(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = yearOfEra + era * 400 + (month <= 2);
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

std::string rfc3339TextOfInstant(std::int64_t utcSeconds, std::int32_t nanoseconds)
{
    const std::int64_t offset = utcOffsetSecondsAt(utcSeconds);
    const std::int64_t localSeconds = utcSeconds + offset;
    std::int64_t year = 0;
    int month = 0, day = 0;
    civilFromDays(floorDiv(localSeconds, kSecondsPerDay), year, month, day);
    if (year < 1 || year > 9999) return "";
    const std::int64_t secondOfDay = localSeconds - floorDiv(localSeconds, kSecondsPerDay) * kSecondsPerDay;
    const std::int64_t offsetMinutes = (offset < 0 ? -offset : offset) / 60;
    char text[48];
    int length = std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", int(year), month, day,
                               int(secondOfDay / 3600), int(secondOfDay / 60 % 60), int(secondOfDay % 60));
    if (nanoseconds != 0) length += std::snprintf(text + length, sizeof text - std::size_t(length), ".%09d", int(nanoseconds));
    std::snprintf(text + length, sizeof text - std::size_t(length), "%c%02d:%02d", offset < 0 ? '-' : '+',
                  int(offsetMinutes / 60), int(offsetMinutes % 60));
    return text;
}

std::string rfc3339TextOfFileTime(FileTime utcFileTime)
{
    constexpr FileTime kUnitsPerSecond = 10'000'000;
    return rfc3339TextOfInstant(std::int64_t(utcFileTime / kUnitsPerSecond) - kFileTimeEpochSeconds,
                                std::int32_t(utcFileTime % kUnitsPerSecond) * 100);
}

std::string rfc3339TextOfLocal(DateTime localValue)
{
    if (!decodeDateTimeInRange(localValue)) return "";
    const auto utcMs = localToUtcEpochMs(localValue);
    return utcMs ? rfc3339TextOfInstant(floorDiv(*utcMs, 1000)) : "";
}

std::string isoLocalTextOf(DateTime localValue)
{
    const auto fields = decodeDateTimeInRange(localValue);
    if (!fields) return "";
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", fields->year, fields->month, fields->day,
                  fields->hour, fields->minute, fields->second);
    return text;
}

std::optional<Rfc3339Instant> readRfc3339Text(std::string_view text)
{
    constexpr std::size_t kSecondsEnd = 19;  // YYYY-MM-DDTHH:MM:SS
    const auto year = digitsAt(text, 0, 4), month = digitsAt(text, 5, 2), day = digitsAt(text, 8, 2);
    const auto hour = digitsAt(text, 11, 2), minute = digitsAt(text, 14, 2), second = digitsAt(text, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second || text[4] != '-' || text[7] != '-' ||
        (text[10] != 'T' && text[10] != 't' && text[10] != ' ') || text[13] != ':' || text[16] != ':')
        return std::nullopt;
    if (!encodeDateTime({*year, *month, *day, *hour, *minute, *second, 0})) return std::nullopt;
    Rfc3339Instant instant;
    std::size_t position = kSecondsEnd;
    if (position < text.size() && text[position] == '.') {
        ++position;
        while (position < text.size() && text[position] >= '0' && text[position] <= '9' && instant.fractionDigits < 10) {
            instant.nanoseconds = instant.nanoseconds * 10 + (text[position] - '0');
            ++instant.fractionDigits;
            ++position;
        }
        if (instant.fractionDigits == 0 || instant.fractionDigits > 9) return std::nullopt;
        for (int digit = instant.fractionDigits; digit < 9; ++digit) instant.nanoseconds *= 10;
    }
    std::int64_t offsetSeconds = 0;
    const std::string_view zone = text.substr(position);
    if (zone != "Z" && zone != "z") {
        const auto offsetHours = digitsAt(zone, 1, 2), offsetMinutes = digitsAt(zone, 4, 2);
        if (zone.size() != 6 || (zone[0] != '+' && zone[0] != '-') || zone[3] != ':' || !offsetHours || !offsetMinutes ||
            *offsetHours > 23 || *offsetMinutes > 59)
            return std::nullopt;
        offsetSeconds = (zone[0] == '-' ? -1 : 1) * (std::int64_t(*offsetHours) * 3600 + *offsetMinutes * 60);
    }
    instant.utcSeconds = daysFromCivil(*year, *month, *day) * kSecondsPerDay + *hour * 3600 + *minute * 60 + *second -
                         offsetSeconds;
    return instant;
}

DateTime localValueOfInstant(const Rfc3339Instant& instant)
{
    return utcEpochMsToDateTime(instant.utcSeconds * 1000 + instant.nanoseconds / 1'000'000);
}

}  // namespace quorvane::convert
