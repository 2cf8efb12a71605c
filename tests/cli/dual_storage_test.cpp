// SPDX-License-Identifier: Apache-2.0
// The second copy of the properties that a .ppt saved for PowerPoint 95 and 97 keeps in its
// PP97_DUALSTORAGE storage (built from bug61881.ppt, tests/support/dual_storage.h), through
// quorvane-cli: a dry run lists its changes, a set writes the same values into it, and a scrub
// empties it (rows, thumbnail, custom properties, the user name of its Current User stream) as
// it empties the root's, as olefile and exiftool read the file; a damaged second copy refuses
// the change, the file kept byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <regex>

#include <nlohmann/json.hpp>

#include "tests/cli/cli_fixture.h"
#include "tests/support/cfb_olefile.h"
#include "tests/support/dual_storage.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

class DualStorage : public Cli {
protected:
    void SetUp() override { QUORVANE_REQUIRE_CORPUS(); }

    // A file with a second copy, and a copy of it as it was made.
    std::string dualCopy(bool damagedSummaryCopy)
    {
        const std::vector<std::byte> bytes = withDualStorage(corpusDir() / "files" / "bug61881.ppt", damagedSummaryCopy);
        EXPECT_FALSE(bytes.empty());
        original_ = std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        writeFileBytes(scratch_.path() / "original.ppt", original_);
        writeFileBytes(scratch_.path() / "dual.ppt", original_);
        return (scratch_.path() / "dual.ppt").string();
    }
    fs::path originalPath() const { return scratch_.path() / "original.ppt"; }

    // exiftool's output for `path`, every duplicate tag included (-a).
    static std::string exiftoolOutput(const fs::path& path)
    {
        const std::string command = "exiftool -a -s " + shellQuoted(path.string());
        std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
        std::string output;
        char buffer[4096];
        while (const std::size_t got = pipe ? std::fread(buffer, 1, sizeof buffer, pipe.get()) : 0) output.append(buffer, got);
        return output;
    }
    static int occurrences(const std::string& output, const std::string& text)
    {
        int count = 0;
        for (std::size_t at = output.find(text); at != std::string::npos; at = output.find(text, at + 1)) ++count;
        return count;
    }

    std::string original_;
};

TEST_F(DualStorage, ASetWritesTheSameValuesIntoTheSecondCopyAndTheDryRunListsThem)
{
    const std::string path = dualCopy(false);
    const CliRun planned = run({"set", "--dry-run", "--title", "Both titles", "--company", "Both companies", path});
    EXPECT_EQ(planned.status, 0) << planned.err;
    for (const auto& [label, to] : {std::pair<std::string, std::string>{"Title", "Both titles"}, {"Company", "Both companies"}}) {
        const std::size_t at = planned.out.find("\n  " + label + " (second copy in PP97_DUALSTORAGE): '");
        ASSERT_NE(at, std::string::npos) << planned.out;
        const std::string line = planned.out.substr(at + 1, planned.out.find('\n', at + 1) - at - 1);
        EXPECT_NE(line.find("' -> '" + to + "'"), std::string::npos) << line;
    }
    EXPECT_EQ(readFileBytes(path), original_) << "a dry run writes nothing";

    const CliRun set = run({"set", "--title", "Both titles", "--company", "Both companies", path});
    ASSERT_EQ(set.status, 0) << set.err;
    const nlohmann::json seen = olefileCompare(originalPath(), path);
    ASSERT_TRUE(seen.value("new_opens", false)) << seen.dump();
    for (const std::string storage : {"", "PP97_DUALSTORAGE/"}) {
        EXPECT_EQ(seen["props"][storage + "SummaryInformation"].value("2", ""), "Both titles") << storage;
        EXPECT_EQ(seen["props"][storage + "DocumentSummaryInformation"].value("15", ""), "Both companies") << storage;
    }
    EXPECT_EQ(seen["changed"].size(), 4u) << "the two sets and their copies, nothing else: " << seen.dump();
}

TEST_F(DualStorage, AScrubEmptiesTheSecondCopyAsItEmptiesTheFirst)
{
    const std::string path = dualCopy(false);
    if (std::system("command -v exiftool >/dev/null 2>&1") != 0) GTEST_SKIP() << "exiftool is not installed";
    // The author, company, user name, a custom property's value and the thumbnail: exiftool shows
    // each in the root's streams and again in the second copy's.
    const std::vector<std::string> personal{"University of Michigan", "Winthrops", "PAULSL@cder.fda.gov", "ThumbnailClip"};
    const std::string rootOnly = exiftoolOutput(corpusDir() / "files" / "bug61881.ppt"), before = exiftoolOutput(path);
    for (const std::string& text : personal) {
        ASSERT_GT(occurrences(rootOnly, text), 0) << text;
        ASSERT_EQ(occurrences(before, text), 2 * occurrences(rootOnly, text)) << text;
    }

    const CliRun planned = run({"scrub", "--dry-run", "--thumbnail", path});
    for (const std::string label : {"Author", "thumbnail", "last user name", "Custom "})
        EXPECT_TRUE(std::regex_search(planned.out, std::regex("\n  " + label + "[^\n]* \\(second copy in PP97_DUALSTORAGE\\): ")))
            << label << " in\n" << planned.out;

    const CliRun scrubbed = run({"scrub", "--thumbnail", path});
    ASSERT_EQ(scrubbed.status, 0) << scrubbed.err;
    const std::string after = exiftoolOutput(path);
    for (const std::string& text : personal) EXPECT_EQ(occurrences(after, text), 0) << text << " in\n" << after;
    const nlohmann::json secondSummary = olefileCompare(originalPath(), path)["props"]["PP97_DUALSTORAGE/SummaryInformation"];
    for (const std::string id : {"2", "4", "8"}) EXPECT_EQ(secondSummary.value(id, "?"), "") << id << " in " << secondSummary.dump();
}

TEST_F(DualStorage, ADamagedSecondCopyRefusesTheChangeAndKeepsTheFile)
{
    const std::string path = dualCopy(true);
    for (const std::vector<std::string>& command : {std::vector<std::string>{"set", "--title", "Only one copy"},
                                                    std::vector<std::string>{"scrub"}}) {
        std::vector<std::string> arguments = command;
        arguments.push_back(path);
        const CliRun refused = run(arguments);
        EXPECT_EQ(refused.status, 1) << command.front();
        EXPECT_NE(refused.err.find("the second copy of the properties in PP97_DUALSTORAGE: damaged property set"), std::string::npos)
            << refused.err;
        EXPECT_EQ(readFileBytes(path), original_) << command.front();
    }
}

}  // namespace
}  // namespace quorvane::testing
