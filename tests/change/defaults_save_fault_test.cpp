// SPDX-License-Identifier: Apache-2.0
// Saving the defaults under a failing or cut-off write at every point: the store keeps its old
// values, and nothing is left behind in its folder.
#include <gtest/gtest.h>

#include "change/saved_defaults.h"
#include "tests/support/corpus.h"
#include "tests/support/environment_guard.h"
#include "tests/support/whole_file_faults.h"

namespace quorvane::change {
namespace {

TEST(DefaultsSaveFault, EveryFailedOrCutWriteKeepsTheOldStore)
{
    testing::TimeLocaleGuard locale("C");
    testing::ScratchDir scratch;
    const auto store = scratch.path() / "lomberk/quorvane.reg";
    BatchSettings old;
    old.rowValues[0] = "old title";
    ASSERT_TRUE(saveBatchDefaults(store.string(), old));

    BatchSettings changed = old;
    changed.rowValues[0] = "new title";
    changed.backup = true;
    bool saved = false;
    const int points = testing::exerciseWholeFileFaults(
        store, [&](const TargetWrapper& wrap) { return saveBatchDefaults(store.string(), changed, wrap); }, &saved);
    EXPECT_TRUE(saved);
    EXPECT_GE(points, 3);
    const auto loaded = loadBatchDefaults(store.string(), 0);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->rowValues[0], "new title");
    EXPECT_TRUE(loaded->backup);
}

}  // namespace
}  // namespace quorvane::change
