// SPDX-License-Identifier: Apache-2.0
// FILETIME and local/UTC conversions: range edges, millisecond exactness, and the offset in force
// at the converted instant (daylight saving) whatever the season the test runs in.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "convert/date_time.h"
#include "convert/w3c_date_time.h"
#include "tests/support/environment_guard.h"

namespace quorvane::convert {
namespace {

using testing::TimeLocaleGuard;
using testing::TimeZoneGuard;

constexpr convert::FileTime kUnitsPerMs = 10'000;
constexpr convert::FileTime kUnitsPerSecond = 10'000'000;

convert::DateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    const auto value = encodeDateTime({y, mo, d, h, mi, s, ms});
    EXPECT_TRUE(value.has_value()) << y << "-" << mo << "-" << d;
    return value.value_or(0);
}

// FILETIME of a UTC calendar time, computed independently of the code under test.
convert::FileTime utcFileTime(int y, int mo, int d, int h, int mi, int s)
{
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    return (FileTime(timegm(&tm)) + 11'644'473'600ULL) * kUnitsPerSecond;
}

TEST(DateTimeValue, DayZeroFractionAndNegativeDates)
{
    EXPECT_EQ(at(1899, 12, 30), 0.0);
    EXPECT_EQ(at(1899, 12, 30, 12), 0.5);
    EXPECT_EQ(at(1900, 1, 1), 2.0);
    // Before day 0 the time of day counts away from zero: 1899-12-29 06:00 is -1.25.
    EXPECT_EQ(at(1899, 12, 29, 6), -1.25);
    const convert::CalendarFields back = decodeDateTime(-1.25);
    EXPECT_EQ(back.year, 1899);
    EXPECT_EQ(back.day, 29);
    EXPECT_EQ(back.hour, 6);
    EXPECT_EQ(convert::datePart(-1.25), -1.0);
    EXPECT_EQ(convert::timePart(2.75), 0.75);
}

TEST(DateTimeValue, RejectsFieldsOutOfRange)
{
    const convert::CalendarFields bad[] = {
        {0, 1, 1, 0, 0, 0, 0},     {10000, 1, 1, 0, 0, 0, 0}, {2008, 0, 1, 0, 0, 0, 0},
        {2008, 13, 1, 0, 0, 0, 0}, {2008, 4, 31, 0, 0, 0, 0}, {2007, 2, 29, 0, 0, 0, 0},
        {2008, 1, 1, 24, 0, 0, 0}, {2008, 1, 1, 0, 60, 0, 0}, {2008, 1, 1, 0, 0, 60, 0},
    };
    for (const auto& fields : bad) EXPECT_FALSE(convert::encodeDateTime(fields)) << fields.year << "-" << fields.month;
    EXPECT_TRUE(convert::encodeDateTime({2008, 2, 29, 23, 59, 59, 999}));
    EXPECT_TRUE(convert::encodeDateTime({2000, 2, 29, 0, 0, 0, 0}));
    EXPECT_FALSE(convert::encodeDateTime({1900, 2, 29, 0, 0, 0, 0}));
}

TEST(FileTimeConversion, EdgesOfTheRangeInUtc)
{
    TimeZoneGuard zone("UTC");
    EXPECT_EQ(convert::DateTimeToUtcFileTime(at(1601, 1, 1)), 0u);
    EXPECT_EQ(convert::FileTimeToDateTime(0), at(1601, 1, 1));
    const convert::FileTime lastMs = utcFileTime(9999, 12, 31, 23, 59, 59) + 999 * kUnitsPerMs;
    EXPECT_EQ(convert::DateTimeToUtcFileTime(at(9999, 12, 31, 23, 59, 59, 999)), lastMs);
    EXPECT_EQ(convert::DateTimeToUtcFileTime(convert::FileTimeToDateTime(lastMs)), lastMs);
    // Nothing before the FILETIME origin is representable: it becomes 0, never a wrapped count.
    EXPECT_EQ(convert::DateTimeToUtcFileTime(at(1600, 12, 31, 23, 59, 59)), 0u);
    EXPECT_EQ(convert::DateTimeToUtcFileTime(at(100, 1, 1)), 0u);
}

TEST(FileTimeConversion, RoundTripIsExactToTheMillisecondFrom1601To9999)
{
    const convert::FileTime first = 0;
    const convert::FileTime last = utcFileTime(9999, 12, 31, 0, 0, 0);
    std::mt19937_64 random(20261207);
    for (const char* zoneName : {"UTC", "Europe/Berlin", "America/New_York", "Asia/Kolkata"}) {
        TimeZoneGuard zone(zoneName);
        for (int i = 0; i < 20000; ++i) {
            const convert::FileTime original = first + random() % (last - first);
            const convert::FileTime truncatedToMs = original - original % kUnitsPerMs;
            const convert::FileTime back = DateTimeToUtcFileTime(FileTimeToDateTime(original));
            if (back == truncatedToMs) continue;
            // The only instants that cannot come back are those whose local time occurs twice
            // (the hour repeated when daylight saving ends): the other of the two comes back.
            const std::int64_t hour = 3600 * std::int64_t(kUnitsPerSecond);
            EXPECT_EQ(convert::FileTimeToDateTime(back), FileTimeToDateTime(original)) << zoneName << " " << original;
            EXPECT_LE(std::llabs(std::int64_t(back - truncatedToMs)), hour) << zoneName << " " << original;
        }
    }
}

// The offset of the converted instant is used, not the one in force while the test runs.
struct DaylightCase {
    const char* zone;
    int month;            // June (summer) or January (winter)
    int utcHourOfNoon;    // UTC hour of 12:00 local time on the 1st of that month in 2008
};

TEST(FileTimeConversion, UsesTheOffsetInForceAtTheInstant)
{
    const DaylightCase cases[] = {
        {"Europe/Berlin", 6, 10}, {"Europe/Berlin", 1, 11}, {"America/New_York", 6, 16}, {"America/New_York", 1, 17},
    };
    for (const auto& c : cases) {
        TimeZoneGuard zone(c.zone);
        const convert::DateTime localNoon = at(2008, c.month, 1, 12);
        const convert::FileTime utc = utcFileTime(2008, c.month, 1, c.utcHourOfNoon, 0, 0);
        EXPECT_EQ(convert::DateTimeToUtcFileTime(localNoon), utc) << c.zone << " month " << c.month;
        EXPECT_EQ(convert::FileTimeToDateTime(utc), localNoon) << c.zone << " month " << c.month;
        EXPECT_EQ(convert::LocalToUtcByBias(localNoon), at(2008, c.month, 1, c.utcHourOfNoon)) << c.zone;
        EXPECT_EQ(convert::UtcToLocalByBias(at(2008, c.month, 1, c.utcHourOfNoon)), localNoon) << c.zone;
    }
}

TEST(W3cDateTime, PackageDatesFollowDaylightSavingBothWays)
{
    TimeLocaleGuard locale("C");
    const struct {
        const char* zone;
        const char* display;
        const char* w3c;
    } cases[] = {
        {"Europe/Berlin", "2008-06-01 12:00:00", "2008-06-01T10:00:00Z"},
        {"Europe/Berlin", "2008-01-01 12:00:00", "2008-01-01T11:00:00Z"},
        {"America/New_York", "2008-06-01 12:00:00", "2008-06-01T16:00:00Z"},
        {"America/New_York", "2008-01-01 12:00:00", "2008-01-01T17:00:00Z"},
        {"America/New_York", "2008-01-01 20:30:00", "2008-01-02T01:30:00Z"},
    };
    for (const auto& c : cases) {
        TimeZoneGuard zone(c.zone);
        EXPECT_EQ(convert::DisplayTextToW3cDateTime(c.display), c.w3c) << c.zone;
        EXPECT_EQ(convert::W3cDateTimeToDisplayText(c.w3c), c.display) << c.zone;
    }
}

}  // namespace
}  // namespace quorvane::convert
