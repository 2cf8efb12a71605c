// SPDX-License-Identifier: Apache-2.0
// Reading and writing the W3C date-time text of package parts, at a zone of UTC.
#include <gtest/gtest.h>

#include "convert/w3c_date_time.h"
#include "tests/support/environment_guard.h"

namespace quorvane::convert {
namespace {

using testing::TimeLocaleGuard;
using testing::TimeZoneGuard;

TEST(W3cDateTime, ReadsFixedPositionsAndRejectsWhatDoesNotQualify)
{
    TimeZoneGuard zone("UTC");
    TimeLocaleGuard locale("C");
    const struct {
        const char* w3c;
        const char* display;
    } cases[] = {
        {"2008-01-01T10:00:00Z", "2008-01-01 10:00:00"},
        {"2008-01-01T00:00:00Z", "2008-01-01"},           // midnight: the date alone
        {"2008-01-01T10:00Z", "2008-01-01 10:00:00"},     // missing seconds count as 0
        {"2008-01-01T10:00:00.75Z", "2008-01-01 10:00:00"},
        {"  2008-01-01T10:00:00Z\r\n", "2008-01-01 10:00:00"},  // blanks and controls trimmed
        {"2008/01/01T10.00.00Z", "2008-01-01 10:00:00"},  // separators are not looked at
        {"2008-01-01T10:0x:00Z", "2008-01-01 10:00:00"},  // a piece that is no number is 0
        {"2008-01-01T10:00:00+02:00", ""},                // no Z
        {"2008-01-01", ""},                               // no T
        {"2008-01-01t10:00:00z", ""},                     // case matters
        {"2008-13-01T10:00:00Z", ""},                     // month 13
        {"2008-04-31T10:00:00Z", ""},                     // day 31 in April
        {"2008-01-01T24:00:00Z", ""},                     // hour 24
        {"0000-01-01T10:00:00Z", ""},                     // year 0
        {"0999-06-01T08:05:03Z", "0999-06-01 08:05:03"},  // four-digit year
        {"0001-01-01T00:00:00Z", "0001-01-01"},
        {"TZ", ""},                                       // every piece beyond the end
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(convert::W3cDateTimeToDisplayText(c.w3c), c.display) << '"' << c.w3c << '"';
}

TEST(W3cDateTime, WritesUtcTextAndGivesEmptyTextForNoDate)
{
    TimeZoneGuard zone("UTC");
    TimeLocaleGuard locale("C");
    EXPECT_EQ(convert::DisplayTextToW3cDateTime("2008-06-01 12:00:00"), "2008-06-01T12:00:00Z");
    EXPECT_EQ(convert::DisplayTextToW3cDateTime("2008-06-01"), "2008-06-01T00:00:00Z");
    EXPECT_EQ(convert::DisplayTextToW3cDateTime("0999-06-01 08:05:03"), "0999-06-01T08:05:03Z");
    EXPECT_EQ(convert::DisplayTextToW3cDateTime(""), "");
    EXPECT_EQ(convert::DisplayTextToW3cDateTime("yesterday"), "");
}

TEST(W3cDateTime, FixedEastOffsetIsAppliedBothWays)
{
    // One hour east of UTC, no daylight saving: 12:00 local is 11:00Z in summer as in winter.
    TimeZoneGuard zone("<+01>-1");
    TimeLocaleGuard locale("C");
    for (const char* date : {"2008-06-01", "2008-12-01"}) {
        const std::string display = std::string(date) + " 12:00:00";
        const std::string w3c = std::string(date) + "T11:00:00Z";
        EXPECT_EQ(convert::DisplayTextToW3cDateTime(display), w3c);
        EXPECT_EQ(convert::W3cDateTimeToDisplayText(w3c), display);
    }
}

}  // namespace
}  // namespace quorvane::convert
