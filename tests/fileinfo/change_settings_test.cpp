// SPDX-License-Identifier: Apache-2.0
// Three-state attribute boxes and the composition of new file times from date and time sources.
#include <gtest/gtest.h>

#include "fileinfo/change_settings.h"

namespace quorvane::fileinfo {
namespace {

convert::DateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0)
{
    return convert::encodeDateTime({year, month, day, hour, minute, second, ms}).value();
}

constexpr auto G = BoxState::Grayed;
constexpr auto C = BoxState::Checked;
constexpr auto U = BoxState::Unchecked;

TEST(AttributeBoxes, EachBoxSetsClearsOrKeepsItsBitOnly)
{
    const struct {
        AttributeWord word;
        AttributeBoxes boxes;  // read-only, archive, hidden, system
        AttributeWord expected;
    } cases[] = {
        {0x00, {G, G, G, G}, 0x00},
        {kReadOnly | kHidden | 0x2000, {G, G, G, G}, kReadOnly | kHidden | 0x2000},
        {0x2000, {C, C, C, C}, 0x2000 | kReadOnly | kArchive | kHidden | kSystem},
        {0xFFFFFFFF, {U, U, U, U}, 0xFFFFFFFF & ~(kReadOnly | kArchive | kHidden | kSystem)},
        {kReadOnly, {U, G, G, G}, 0x00},
        {0x00, {C, G, G, G}, kReadOnly},
        {kArchive, {G, U, C, G}, kHidden},
        {kSystem | 0x10, {G, G, G, U}, 0x10},
        {kSystem, {G, G, G, C}, kSystem},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << "word 0x" << c.word);
        EXPECT_EQ(ApplyAttributeBoxes(c.word, c.boxes), c.expected);
    }
    EXPECT_EQ(ApplyTriState(0x2000, C, 0x4000), 0x6000u);
    EXPECT_EQ(ApplyTriState(0x6000, U, 0x4000), 0x2000u);
    EXPECT_EQ(ApplyTriState(0x6000, G, 0x4000), 0x6000u);
}

TEST(ComposeDateTime, ReplacesDateAndTimeOfDay)
{
    const convert::DateTime fileTime = at(2009, 3, 4, 17, 45, 10);
    const struct {
        const char* name;
        convert::DateTime base;
        std::optional<convert::DateTime> date, time;
        convert::DateTime expected;
    } cases[] = {
        {"no source keeps the time", fileTime, std::nullopt, std::nullopt, fileTime},
        {"date only", fileTime, at(2001, 1, 1), std::nullopt, at(2001, 1, 1, 17, 45, 10)},
        {"time only", fileTime, std::nullopt, at(1899, 12, 30, 8, 0, 0), at(2009, 3, 4, 8, 0, 0)},
        {"a picker's own time or date plays no part", fileTime, at(2001, 1, 1, 23, 59, 59), at(1999, 9, 9, 8, 0, 0),
         at(2001, 1, 1, 8, 0, 0)},
        {"single change: both sources", at(1990, 1, 1), at(2009, 1, 2, 6, 0, 0), at(2020, 5, 5, 13, 45, 0),
         at(2009, 1, 2, 13, 45, 0)},
        {"milliseconds of the time source kept", fileTime, std::nullopt, at(2000, 1, 1, 1, 2, 3, 456),
         at(2009, 3, 4, 1, 2, 3, 456)},
        {"midnight time source", fileTime, std::nullopt, at(2000, 1, 1), at(2009, 3, 4)},
        {"date before day 0 keeps its time of day", fileTime, at(1850, 6, 1), std::nullopt, at(1850, 6, 1, 17, 45, 10)},
        {"time onto a date before day 0", at(1850, 6, 1, 1, 0, 0), std::nullopt, at(2000, 1, 1, 6, 30, 0),
         at(1850, 6, 1, 6, 30, 0)},
        {"date after day 0 onto a base before it", at(1850, 6, 1, 6, 0, 0), at(2009, 3, 4), std::nullopt,
         at(2009, 3, 4, 6, 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const convert::DateTime composed = ComposeDateTime(c.base, c.date, c.time);
        EXPECT_NEAR(composed, c.expected, 1e-9);
        const auto fields = convert::decodeDateTime(composed), wanted = convert::decodeDateTime(c.expected);
        EXPECT_EQ(std::tie(fields.year, fields.month, fields.day, fields.hour, fields.minute, fields.second,
                           fields.millisecond),
                  std::tie(wanted.year, wanted.month, wanted.day, wanted.hour, wanted.minute, wanted.second,
                           wanted.millisecond));
    }
}

}  // namespace
}  // namespace quorvane::fileinfo
