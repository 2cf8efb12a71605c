// SPDX-License-Identifier: Apache-2.0
// quorvane-cli set --template: values filled in per file, on copies of corpus files.
#include <nlohmann/json.hpp>

#include "tests/cli/cli_fixture.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

class SetTemplate : public Cli {
protected:
    std::string titleOf(const std::string& path) { return nlohmann::json::parse(run({"show", "--json", path}).out)[0]["properties"]["title"]; }
};

TEST_F(SetTemplate, FillsInEachFilesValuesOnlyWhenAsked)
{
    QUORVANE_REQUIRE_CORPUS();
    const fs::path folder = scratch_.path() / "talks";
    fs::create_directory(folder);
    std::vector<std::string> paths;
    for (const char* name : {"bug61881.ppt", "37625.ppt", "60810.pptx"}) {
        paths.push_back((folder / name).string());
        fs::rename(copyOf(name), paths.back());
    }
    // In folder order, by name in byte order: 37625.ppt, 60810.pptx, bug61881.ppt.
    const std::string author37625 = nlohmann::json::parse(run({"show", "--json", paths[1]}).out)[0]["properties"]["author"];
    const CliRun dryRun = run({"set", "--template", "--dry-run", "--title", "{n:3} {name} in {folder} by {author} {{x}}", folder.string()});
    ASSERT_EQ(dryRun.status, 0) << dryRun.err;
    EXPECT_NE(dryRun.out.find("' -> '001 37625 in talks by " + author37625 + " {x}'\n"), std::string::npos) << dryRun.out;
    EXPECT_NE(dryRun.out.find("' -> '003 bug61881 in talks by "), std::string::npos) << dryRun.out;

    ASSERT_EQ(run({"set", "--template", "--title", "{n:3}-{name}", "--comments", "{title}", folder.string()}).status, 0);
    EXPECT_EQ(titleOf(paths[1]), "001-37625");
    EXPECT_EQ(titleOf(paths[2]), "002-60810");
    EXPECT_EQ(titleOf(paths[0]), "003-bug61881");
    ASSERT_EQ(run({"set", "--template", "--title", "{last_printed:%Y} {modified:%Y}", paths[1]}).status, 0);
    EXPECT_TRUE(titleOf(paths[1]).starts_with("2002 20")) << titleOf(paths[1]);

    // Without --template braces are text; an unknown field is refused before any file is read.
    ASSERT_EQ(run({"set", "--title", "{name}", paths[0]}).status, 0);
    EXPECT_EQ(titleOf(paths[0]), "{name}");
    const std::string bytes = readFileBytes(paths[0]);
    for (const char* bad : {"{titel}", "{name", "}", "{n:x}", "{name:%Y}"}) {
        const CliRun refused = run({"set", "--template", "--title", bad, paths[0]});
        EXPECT_EQ(refused.status, 2) << bad;
        EXPECT_NE(refused.err.find("set: --title: "), std::string::npos) << refused.err;
    }
    EXPECT_NE(run({"set", "--template", "--title", "{titel}", paths[0]}).err.find("unknown field {titel}"), std::string::npos);
    EXPECT_TRUE(readFileBytes(paths[0]) == bytes);
}

}  // namespace
}  // namespace quorvane::testing
