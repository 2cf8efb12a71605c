// SPDX-License-Identifier: Apache-2.0
// Saving a CSV file under a failing or cut-off write at every point: an earlier file of that
// name stays as it was, a new name stays absent, and nothing is left behind.
#include <gtest/gtest.h>

#include "export/csv_export.h"
#include "tests/support/corpus.h"
#include "tests/support/whole_file_faults.h"

namespace quorvane::exporting {
namespace {

TEST(CsvSaveFault, EveryFailedOrCutWriteLeavesTheOldFile)
{
    testing::ScratchDir scratch;
    ExportList lines;
    WriteCsvHeader(lines);
    for (int i = 0; i < 20; ++i) lines.push_back("\"line " + std::to_string(i) + "\"");

    const auto target = scratch.path() / "export.csv";
    const auto save = [&](const TargetWrapper& wrap) { return !saveExportList(target.string(), lines, wrap).failed(); };
    bool saved = false;
    // A new file: nothing appears until the save is complete.
    const int newFilePoints = testing::exerciseWholeFileFaults(target, save, &saved);
    EXPECT_TRUE(saved);
    EXPECT_GE(newFilePoints, 2 * 21);
    // An existing file: it stays as it was.
    testing::writeFileBytes(target, "\"earlier export\"\r\n");
    const int replacePoints = testing::exerciseWholeFileFaults(target, save, &saved);
    EXPECT_TRUE(saved);
    EXPECT_EQ(replacePoints, newFilePoints);
    EXPECT_EQ(testing::readFileBytes(target).substr(0, 17), "\"File full name\",");
}

}  // namespace
}  // namespace quorvane::exporting
