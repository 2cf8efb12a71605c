// SPDX-License-Identifier: Apache-2.0
// A dry run is the plan of the run: over every corpus file, read-only copies, and the files a
// plan refuses (damaged, signed, not a presentation) or finds nothing to do in, `set --dry-run`
// and `scrub --dry-run`
// name exactly the files that the real run changes, refuse the same files with the same reason,
// and predict the values the run writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "tests/cli/cli_fixture.h"
#include "tests/support/document_reads.h"
#include "tests/support/signed_files.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

// What a run said of one file: "would change", "nothing would change", "changed", "unchanged",
// "scrubbed", or "failed: REASON"; and, for a dry run, its "  Label: 'from' -> 'to'" lines.
struct Said {
    std::string outcome;
    std::vector<std::string> lines;
};

std::map<std::string, Said> saidPerFile(const CliRun& run)
{
    std::map<std::string, Said> said;
    std::istringstream out(run.out);
    std::string current;
    for (std::string line; std::getline(out, line);) {
        if (line.starts_with("  ")) {
            said[current].lines.push_back(line);
            continue;
        }
        const std::size_t colon = line.rfind(": ");
        current = line.substr(0, colon);
        said[current].outcome = line.substr(colon + 2);
    }
    static const std::regex failure("quorvane-cli: (.*): failed: (.*)");
    std::istringstream err(run.err);
    for (std::string line; std::getline(err, line);) {
        std::smatch match;
        if (std::regex_match(line, match, failure)) said[match[1]].outcome = "failed: " + match[2].str();
    }
    return said;
}

class DryRunAgrees : public Cli {
protected:
    // Copies of every corpus file, and of the cases a plan refuses, in a fresh folder.
    fs::path preparedFolder()
    {
        const fs::path folder = scratch_.path() / ("run" + std::to_string(++folders_));
        fs::create_directory(folder);
        // The presentation files a folder gives (cli/file_arguments.h), whatever their content.
        static const std::regex presentation(".*\\.(ppt|pps|pot|pptx|pptm|ppsx|ppsm|potx|potm)", std::regex::icase);
        for (const char* kind : {"cfb", "zip", "other"})
            for (const std::string& name : corpusFiles(kind)) {
                if (!std::regex_match(name, presentation)) continue;
                fs::copy_file(corpusDir() / "files" / name, folder / name);
                fs::permissions(folder / name, fs::perms::owner_write, fs::perm_options::add);
            }
        const std::string whole = readFileBytes(corpusDir() / "files" / "bug61881.ppt");
        std::ofstream(folder / "damaged.ppt", std::ios::binary) << whole.substr(0, 3000);
        std::ofstream(folder / "signed.pptx", std::ios::binary) << signedPackageBytes();
        // Read-only files that their owner changes, the read-only bit kept.
        for (const char* name : {"bug61881.ppt", "60810.pptx"}) {
            const fs::path readOnly = folder / ("read-only-" + std::string(name));
            fs::copy_file(corpusDir() / "files" / name, readOnly);
            fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        }
        return folder;
    }

    int folders_ = 0;
};

TEST_F(DryRunAgrees, SetAndScrubDoWhatTheirDryRunsSay)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::vector<std::vector<std::string>> commands{
        {"set", "--title", "Planned title", "--hidden", "on", "--custom", "Planned:integer=7"},
        {"set", "--title", "Planned title"},
        {"scrub", "--thumbnail"},
    };
    for (const std::vector<std::string>& command : commands) {
        SCOPED_TRACE(command.front() + " " + command[1]);
        const fs::path folder = preparedFolder();
        std::map<std::string, std::string> before;
        for (const auto& entry : fs::directory_iterator(folder)) before[entry.path().string()] = readFileBytes(entry.path());

        std::vector<std::string> arguments = command;
        arguments.insert(arguments.end(), {"--dry-run", "-r", folder.string()});
        const auto planned = saidPerFile(run(arguments));
        for (const auto& [path, bytes] : before) EXPECT_EQ(readFileBytes(path), bytes) << "a dry run wrote " << path;
        arguments.erase(arguments.end() - 3);
        const auto done = saidPerFile(run(arguments));

        int changed = 0, refused = 0;
        for (const auto& [path, bytes] : before) {
            SCOPED_TRACE(path);
            ASSERT_TRUE(planned.count(path) && done.count(path));
            const std::string& plan = planned.at(path).outcome;
            const std::string& outcome = done.at(path).outcome;
            const bool rewritten = readFileBytes(path) != bytes;
            if (plan == "would change") {
                ++changed;
                EXPECT_TRUE(outcome == "changed" || outcome == "scrubbed") << outcome;
                EXPECT_TRUE(rewritten);
            } else if (plan == "nothing would change") {
                EXPECT_EQ(outcome, "unchanged");
                EXPECT_FALSE(rewritten);
            } else {
                ++refused;
                EXPECT_EQ(outcome, plan) << "the run and its dry run give the same reason";
                EXPECT_FALSE(rewritten);
            }
            // Every value the plan names is the one the run leaves.
            const auto rows = documentRows(path);
            for (const std::string& line : planned.at(path).lines) {
                if (line.starts_with("  Title: ") && rows) {
                    EXPECT_TRUE(line.ends_with("-> '" + (*rows)[0] + "'")) << line;
                }
            }
        }
        EXPECT_GT(changed, 100) << "most corpus files take the change";
        EXPECT_GE(refused, 2) << "the damaged and the signed file are refused";
        EXPECT_EQ(planned.at((folder / "signed.pptx").string()).outcome.find("failed: signed document"), 0u);
        EXPECT_EQ(planned.at((folder / "read-only-bug61881.ppt").string()).outcome, "would change");
        EXPECT_EQ(fs::status(folder / "read-only-60810.pptx").permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    }
}

// A file that holds the values already needs no change: the plan says so, and the run writes
// nothing and makes no backup.
TEST_F(DryRunAgrees, AValueHeldAlreadyIsNoChange)
{
    QUORVANE_REQUIRE_CORPUS();
    for (const char* name : {"bug61881.ppt", "60810.pptx"}) {
        SCOPED_TRACE(name);
        const std::string path = copyOf(name);
        ASSERT_EQ(run({"set", "--title", "Held", path}).status, 0);
        const std::string bytes = readFileBytes(path);
        EXPECT_EQ(run({"set", "--dry-run", "--title", "Held", path}).out, path + ": nothing would change\n");
        EXPECT_EQ(run({"set", "--backup", "--title", "Held", path}).out, path + ": unchanged\n");
        EXPECT_EQ(readFileBytes(path), bytes);
        EXPECT_FALSE(fs::exists(path + ".bak"));
    }
}

}  // namespace
}  // namespace quorvane::testing
