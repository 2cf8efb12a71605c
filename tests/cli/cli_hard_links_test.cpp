// SPDX-License-Identifier: Apache-2.0
// A package is changed by putting a new file under its name, which splits a hard link: `set`
// refuses a package with several links unless --break-links, and then reports each name given as
// what happened to it. A .ppt, written in place, keeps its links.
#include <filesystem>

#include "tests/cli/cli_fixture.h"
#include "tests/support/fileinfo_fixtures.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

TEST_F(Cli, HardLinksAreNeverSplitSilently)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::string first = copyOf("60810.pptx");
    const std::string second = (scratch_.path() / "second.pptx").string();
    const std::string third = (scratch_.path() / "third.pptx").string();
    fs::create_hard_link(first, second);
    fs::create_hard_link(first, third);
    const std::string before = readFileBytes(first);
    const std::string refusal =
        ": failed: has 3 hard links; changing it would split them; --break-links changes it anyway\n";
    for (const bool dryRun : {true, false}) {
        SCOPED_TRACE(dryRun ? "dry run" : "run");
        std::vector<std::string> arguments{"set", "--title", "New", first, second};
        if (dryRun) arguments.insert(arguments.begin() + 1, "--dry-run");
        const CliRun refused = run(arguments);
        EXPECT_EQ(refused.status, 1);
        EXPECT_EQ(refused.err, "quorvane-cli: " + first + refusal + "quorvane-cli: " + second + refusal);
    }
    EXPECT_EQ(statOf(first).st_nlink, 3u);
    EXPECT_TRUE(readFileBytes(first) == before);

    // The first name's change leaves the second with the old file: it is changed in its own turn.
    const CliRun split = run({"set", "--break-links", "--title", "New", first, second});
    EXPECT_EQ(split.status, 0) << split.err;
    EXPECT_EQ(split.out, first + ": changed; its 2 other hard links keep the old content\n" + second +
                             ": changed; its other hard link keeps the old content\n");
    for (const std::string& name : {first, second})
        EXPECT_NE(run({"show", name}).out.find("\nTitle: New\n"), std::string::npos) << name;
    EXPECT_TRUE(readFileBytes(third) == before);
    EXPECT_EQ(statOf(third).st_nlink, 1u);

    const std::string ppt = copyOf("37625.ppt");
    const std::string pptLink = (scratch_.path() / "link.ppt").string();
    fs::create_hard_link(ppt, pptLink);
    const CliRun inPlace = run({"set", "--title", "New", ppt, pptLink});
    EXPECT_EQ(inPlace.out, ppt + ": changed\n" + pptLink + ": changed\n") << inPlace.err;
    EXPECT_EQ(statOf(ppt).st_nlink, 2u);
    EXPECT_NE(run({"show", pptLink}).out.find("\nTitle: New\n"), std::string::npos);
}

}  // namespace
}  // namespace quorvane::testing
