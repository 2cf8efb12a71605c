// SPDX-License-Identifier: Apache-2.0
// The texts of a snapshot: three times in display text, the last-access time hidden up to day
// 1602, the four attributes as "Y" or empty in label order.
#include <gtest/gtest.h>

#include "fileinfo/snapshot_display.h"
#include "tests/support/environment_guard.h"

namespace quorvane::fileinfo {
namespace {

convert::FileTime utcFileTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    testing::TimeZoneGuard utc("UTC");
    return convert::DateTimeToUtcFileTime(convert::encodeDateTime({year, month, day, hour, minute, second, 0}).value());
}

TEST(SnapshotDisplay, TimesAndFlagsInLabelOrder)
{
    testing::TimeZoneGuard zone("UTC");
    testing::TimeLocaleGuard locale("C");
    FileSnapshot snapshot;
    snapshot.creationTime = utcFileTime(2009, 3, 4, 17, 45, 10);
    snapshot.lastWriteTime = utcFileTime(2010, 1, 2);
    snapshot.lastAccessTime = utcFileTime(2011, 12, 31, 23, 59, 59);
    snapshot.attributes = kArchive | kSystem | 0x2000;
    const auto texts = fileInfoTexts(snapshot);
    const std::array<std::string, 7> expected = {"2009-03-04 17:45:10", "2010-01-02", "2011-12-31 23:59:59", "", "Y", "", "Y"};
    EXPECT_EQ(texts, expected);
    snapshot.attributes = kReadOnly | kHidden;
    EXPECT_EQ(fileInfoTexts(snapshot)[props::kReadOnlyLabel], "Y");
    EXPECT_EQ(fileInfoTexts(snapshot)[props::kHiddenLabel], "Y");
    EXPECT_EQ(fileInfoTexts(snapshot)[props::kArchiveLabel], "");
}

TEST(SnapshotDisplay, LastAccessShownOnlyAfterDay1602)
{
    testing::TimeZoneGuard zone("UTC");
    testing::TimeLocaleGuard locale("C");
    const struct {
        convert::FileTime lastAccess;
        std::string expected;
    } cases[] = {
        {0, ""},                                                   // 1601-01-01, the "never" of many file systems
        {utcFileTime(1904, 5, 20), ""},                            // day 1602 itself
        {utcFileTime(1904, 5, 20, 0, 0, 1), "1904-05-20 00:00:01"},
        {utcFileTime(1980, 1, 1), "1980-01-01"},
    };
    for (const auto& c : cases) {
        FileSnapshot snapshot;
        snapshot.lastAccessTime = c.lastAccess;
        EXPECT_EQ(fileInfoTexts(snapshot)[props::kLastAccessTimeLabel], c.expected);
    }
    EXPECT_FALSE(isShownLastAccess(1602.0));
    EXPECT_TRUE(isShownLastAccess(1602.0 + 1.0 / 86400));
}

}  // namespace
}  // namespace quorvane::fileinfo
