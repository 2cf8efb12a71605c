// SPDX-License-Identifier: Apache-2.0
// The total editing time between minutes text and a FILETIME span.
#include <gtest/gtest.h>

#include "convert/minutes_text.h"

namespace quorvane::convert {
namespace {

TEST(MinutesText, SpanToMinutesRoundsHalfToEven)
{
    const struct {
        std::int64_t span;
        const char* minutes;
    } cases[] = {
        {0, "0"},
        {54'000'000'000, "90"},
        {900'000'000, "2"},          // 1.5 -> 2
        {1'500'000'000, "2"},        // 2.5 -> 2
        {2'100'000'000, "4"},        // 3.5 -> 4
        {299'999'999, "0"},          // just under a half
        {300'000'001, "1"},          // just over a half
        {1'562'190'000, "3"},        // 2.6 minutes, as stored by a real file
        {-900'000'000, "-2"},
        {-1'500'000'000, "-2"},
        {INT64_MAX, "15372286728"},
        {INT64_MIN, "-15372286728"},
    };
    for (const auto& c : cases) EXPECT_EQ(convert::FileTimeSpanToMinutesText(c.span), c.minutes) << c.span;
}

TEST(MinutesText, MinutesToSpanTakesSigned32BitNumbersOnly)
{
    const struct {
        const char* text;
        std::int64_t span;
    } cases[] = {
        {"90", 54'000'000'000},
        {"+90", 54'000'000'000},
        {"-1", -600'000'000},
        {"0", 0},
        {"2147483647", 2147483647LL * 600'000'000},
        {"-2147483648", -2147483648LL * 600'000'000},
        {"2147483648", 0},  // beyond 32 bits
        {"abc", 0},
        {"", 0},
        {"12abc", 0},
        {"1.5", 0},
        {"-", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(convert::MinutesTextToFileTimeSpan(c.text), c.span) << '"' << c.text << '"';
}

}  // namespace
}  // namespace quorvane::convert
