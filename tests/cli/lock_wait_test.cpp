// SPDX-License-Identifier: Apache-2.0
// Locks are waited for a bounded time: a show loop beside a set loop on one file never fails
// for the writer's short hold, and a lock held longer than the wait (another program's) gives
// the reason after about two seconds, to a reader and to a writer, instead of a hang.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "tests/cli/cli_fixture.h"
#include "tests/support/fileinfo_fixtures.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kShows = 100;

using LockWait = Cli;

TEST_F(LockWait, ShowBesideAWriteLoopNeverFindsTheFileInUse)
{
    QUORVANE_REQUIRE_CORPUS();
    for (const char* name : {"42474-1.ppt", "SmartArt.pptx"}) {
        SCOPED_TRACE(name);
        const std::string path = copyOf(name);
        const fs::path stop = scratch_.path() / "stop", locked = scratch_.path() / "locked";
        fs::remove(stop);
        const std::string cli = shellQuoted(tool_), file = shellQuoted(path);
        const std::string script =
            "( while [ ! -e " + shellQuoted(stop) + " ]; do " + cli + " set --title \"w $RANDOM\" " + file +
            " >/dev/null 2>&1; done ) & writer=$!\n"
            "n=0; for i in $(seq " + std::to_string(kShows) + "); do " + cli + " show " + file +
            " 2>&1 >/dev/null | grep -q 'in use by another program' && n=$((n+1)); done\n"
            "touch " + shellQuoted(stop) + "; wait $writer; echo $n > " + shellQuoted(locked) + "\n";
        writeFileBytes(scratch_.path() / "loops.sh", script);
        ASSERT_EQ(std::system(("bash " + shellQuoted((scratch_.path() / "loops.sh").string())).c_str()), 0);
        EXPECT_EQ(readFileBytes(locked), "0\n") << "of " << kShows << " shows found the file in use";
    }
}

TEST_F(LockWait, ALockHeldLongerGivesTheReasonAfterTheWait)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::string path = copyOf("42474-1.ppt");
    LockHoldingChild holder(path, /*exclusive=*/true);
    ASSERT_TRUE(holder.holding());
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"show", path}, std::vector<std::string>{"set", "--title", "Waited", path}}) {
        SCOPED_TRACE(arguments.front());
        const auto started = std::chrono::steady_clock::now();
        const CliRun result = run(arguments);
        const auto waited = std::chrono::steady_clock::now() - started;
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.err.find("in use by another program"), std::string::npos) << result.err;
        EXPECT_GE(waited, std::chrono::milliseconds(1900)) << "the tool gave up without waiting";
        EXPECT_LT(waited, std::chrono::seconds(10)) << "the wait is bounded";
    }
}

}  // namespace
}  // namespace quorvane::testing
