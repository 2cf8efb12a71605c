// SPDX-License-Identifier: Apache-2.0
// The display text of dates in the C, American English and German locales: what is written,
// what is read back, and the exact error for text that is no date.
#include <gtest/gtest.h>

#include <random>

#include "convert/date_time.h"
#include "convert/display_text.h"
#include "base/error.h"
#include "tests/support/environment_guard.h"

namespace quorvane::convert {
namespace {

using testing::TimeLocaleGuard;
using testing::TimeZoneGuard;

convert::DateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return encodeDateTime({y, mo, d, h, mi, s, 0}).value();
}

struct LocaleCase {
    const char* locale;
    const char* afternoon;       // 2008-06-01 15:04:05
    const char* midnight;        // 2008-06-01 00:00:00
    const char* withoutSeconds;  // 2008-06-01 15:04 as a user may type it
    const char* timeAlone;       // 15:04:05 on day 0
    const char* yearOne;         // 0001-02-03 04:05:06: the year keeps four digits
};

void PrintTo(const LocaleCase& c, std::ostream* out) { *out << c.locale; }

const LocaleCase kLocales[] = {
    {"C", "2008-06-01 15:04:05", "2008-06-01", "2008-06-01 15:04", "15:04:05", "0001-02-03 04:05:06"},
    {"en_US.UTF-8", "06/01/2008 03:04:05 PM", "06/01/2008", "06/01/2008 03:04 PM", "03:04:05 PM",
     "02/03/0001 04:05:06 AM"},
    {"de_DE.UTF-8", "01.06.2008 15:04:05", "01.06.2008", "01.06.2008 15:04", "15:04:05", "03.02.0001 04:05:06"},
};

class DisplayTextInLocale : public ::testing::TestWithParam<LocaleCase> {
protected:
    void SetUp() override
    {
        if (!guard_.ok()) GTEST_SKIP() << GetParam().locale << " is not installed (scripts/install-deps makes it)";
    }
    TimeLocaleGuard guard_{GetParam().locale};
};

TEST_P(DisplayTextInLocale, WritesTheLocaleFormsAndLeavesOutMidnight)
{
    EXPECT_EQ(convert::DateTimeToDisplayText(at(2008, 6, 1, 15, 4, 5)), GetParam().afternoon);
    EXPECT_EQ(convert::DateTimeToDisplayText(at(2008, 6, 1)), GetParam().midnight);
    // Milliseconds are not shown, and do not bring the time back at midnight.
    EXPECT_EQ(convert::DateTimeToDisplayText(at(2008, 6, 1) + 0.5 / 86400), GetParam().midnight);
    EXPECT_EQ(convert::DateTimeToDisplayText(at(1, 2, 3, 4, 5, 6)), GetParam().yearOne);
}

TEST_P(DisplayTextInLocale, ReadsWhatItWritesAndTheShorterForms)
{
    EXPECT_EQ(convert::DisplayTextToDateTime(GetParam().afternoon), at(2008, 6, 1, 15, 4, 5));
    EXPECT_EQ(convert::DisplayTextToDateTime(GetParam().midnight), at(2008, 6, 1));
    EXPECT_EQ(convert::DisplayTextToDateTime(GetParam().withoutSeconds), at(2008, 6, 1, 15, 4));
    EXPECT_EQ(convert::DisplayTextToDateTime(GetParam().timeAlone), at(1899, 12, 30, 15, 4, 5));
    EXPECT_EQ(convert::DisplayTextToDateTime(GetParam().yearOne), at(1, 2, 3, 4, 5, 6));
}

TEST_P(DisplayTextInLocale, RoundTripsEverySecondOfTheRangeSampled)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> year(1, 9999), month(1, 12), day(1, 28), hour(0, 23), minute(0, 59);
    for (int i = 0; i < 5000; ++i) {
        const convert::DateTime value = at(year(random), month(random), day(random), hour(random), minute(random), minute(random));
        const std::string text = convert::DateTimeToDisplayText(value);
        EXPECT_EQ(convert::DisplayTextToDateTime(text), value) << text;
    }
}

TEST_P(DisplayTextInLocale, RejectsTextThatIsNoDateWithTheExactMessage)
{
    for (const char* text : {"", "tomorrow", "2008-13-45", "31.02.2008", "02/31/2008", "25:00:00", "12:00:00 xyz"}) {
        try {
            const convert::DateTime value = DisplayTextToDateTime(text);
            ADD_FAILURE() << '"' << text << "\" was read as " << value;
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()), "'" + std::string(text) + "' is not a valid date and time");
        }
    }
}

// FILETIMEs span about 58,000 years; the display text ends with 9999-12-31 in local time.
TEST(FileTimeDisplayText, InstantsPastYear9999GiveEmptyText)
{
    TimeLocaleGuard locale("C");
    constexpr convert::FileTime kUnitsPerSecond = 10'000'000;
    // 9999-12-31 23:59:59 UTC and 10000-01-01 00:00:00 UTC, in seconds since 1601-01-01.
    constexpr convert::FileTime kLastSecond = 265'046'774'399;
    constexpr convert::FileTime kLastUnit = (kLastSecond + 1) * kUnitsPerSecond - 1;
    const auto shown = [](convert::FileTime fileTime) {
        return convert::DateTimeToDisplayText(convert::FileTimeToDateTime(fileTime));
    };
    {
        TimeZoneGuard zone("UTC");
        EXPECT_EQ(shown(kLastSecond * kUnitsPerSecond), "9999-12-31 23:59:59");
        EXPECT_EQ(shown(kLastUnit), "9999-12-31 23:59:59");
        for (const convert::FileTime beyond : {kLastUnit + 1, (kLastSecond + 2) * kUnitsPerSecond,
                                               convert::FileTime(0x8000000000000000), ~convert::FileTime(0)})
            EXPECT_EQ(shown(beyond), "") << beyond;
    }
    // East of UTC the last hour of 9999 in UTC is already year 10000 locally.
    TimeZoneGuard zone("<+01>-1");
    EXPECT_EQ(shown((kLastSecond - 3600) * kUnitsPerSecond), "9999-12-31 23:59:59");
    EXPECT_EQ(shown((kLastSecond - 3599) * kUnitsPerSecond), "");
}

INSTANTIATE_TEST_SUITE_P(Locales, DisplayTextInLocale, ::testing::ValuesIn(kLocales),
                         [](const auto& info) {
                             std::string name = info.param.locale;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace
}  // namespace quorvane::convert
