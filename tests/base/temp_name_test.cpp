// SPDX-License-Identifier: Apache-2.0
// Temporary names say whose they are: the sweep removes those whose process has ended (or whose
// process id a later process holds), and leaves a live process's, another machine's and every
// look-alike.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "base/temp_name.h"
#include "tests/support/corpus.h"
#include "tests/support/fileinfo_fixtures.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;

// `name` with the dash-separated field `index` after ".quorvane-" (0 the process id, 1 its start,
// 2 the machine tag) replaced by `value`.
std::string withField(std::string name, int index, const std::string& value)
{
    std::size_t start = name.rfind(".quorvane-") + 10;
    for (int skipped = 0; skipped < index; ++skipped) start = name.find('-', start) + 1;
    return name.replace(start, name.find('-', start) - start, value);
}

TEST(TemporaryNames, OnlyNamesOfEndedProcessesAreRemoved)
{
    testing::ScratchDir dir;
    const std::string target = (dir.path() / "deck.pptx").string();
    const pid_t child = ::fork();
    if (child == 0) {
        testing::writeFileBytes(temporaryNameBeside(target), "left");
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string live = temporaryNameBeside(target);
    const std::string reused = withField(live, 1, "1");  // our process id, another start
    const std::string otherMachine = withField(withField(live, 0, std::to_string(child)), 2, "0badc0de");
    for (const std::string& name : {live, reused, otherMachine, (dir.path() / ".deck.pptx.quorvane-abcdef").string(),
                                    (dir.path() / "deck.pptx.quorvane-1-1-0badc0de-abcdef").string()})
        testing::writeFileBytes(name, "kept");

    EXPECT_EQ(removeStaleTemporaryFiles(dir.path()), 2);  // the ended child's and the reused id's
    EXPECT_FALSE(fs::exists(reused));
    std::size_t kept = 0;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        EXPECT_EQ(testing::readFileBytes(entry.path()), "kept") << entry.path();
        ++kept;
    }
    EXPECT_EQ(kept, 4u);
    const std::string longTarget = (dir.path() / std::string(300, 'x')).string();
    EXPECT_LE(fs::path(temporaryNameBeside(longTarget)).filename().string().size(), 255u);
}

}  // namespace
}  // namespace quorvane
