// SPDX-License-Identifier: Apache-2.0
// A backup under a failing or cut-off write at every point: the file itself is untouched, an
// earlier backup stays as it was, and no partial copy is left behind.
#include <gtest/gtest.h>

#include "fileinfo/backup.h"
#include "tests/support/corpus.h"
#include "tests/support/whole_file_faults.h"

namespace quorvane::fileinfo {
namespace {

TEST(BackupFault, EveryFailedOrCutWriteKeepsTheEarlierBackup)
{
    testing::ScratchDir scratch;
    const auto file = scratch.path() / "deck.ppt";
    std::string content;
    for (int i = 0; i < 3 * 1024 * 1024 / 16; ++i) content += "sixteen bytes!!\n";  // three copy chunks
    testing::writeFileBytes(file, content);
    const auto backup = scratch.path() / "deck.ppt.bak";
    testing::writeFileBytes(backup, "an earlier backup");

    bool saved = false;
    const int points = testing::exerciseWholeFileFaults(
        backup, [&](const TargetWrapper& wrap) { return backupoldfile(file.string(), wrap); }, &saved);
    EXPECT_TRUE(saved);
    EXPECT_GE(points, 2 * 4);  // three chunk writes and the sync, failed and cut
    EXPECT_EQ(testing::readFileBytes(file), content);
    EXPECT_EQ(testing::readFileBytes(backup), content);
}

}  // namespace
}  // namespace quorvane::fileinfo
