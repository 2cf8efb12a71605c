// SPDX-License-Identifier: Apache-2.0
// -j/--jobs: files worked on several at a time give the same output, in the same order, and leave
// the same files as one at a time; a file named twice is worked on once.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <regex>

#include "tests/cli/cli_fixture.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

class CliJobs : public Cli {
protected:
    // A folder `name` in the scratch folder with a writable copy of every corpus file.
    std::string corpusFolder(const std::string& name)
    {
        const fs::path folder = scratch_.path() / name;
        fs::create_directory(folder);
        for (const auto& entry : fs::directory_iterator(corpusDir() / "files")) {
            const fs::path copy = folder / entry.path().filename();
            fs::copy_file(entry.path(), copy);
            fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add);
        }
        return folder.string();
    }
};

// `text` with every `from` replaced by `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
    return text;
}

// `text` with every local time shown for a second from `first` to `last` replaced by a mark: the
// files a change refuses keep the times of their copying, which may fall in different seconds for
// the two folders.
std::string withCopyTimesMarked(std::string text, std::time_t first, std::time_t last)
{
    for (std::time_t second = first; second <= last; ++second) {
        std::tm local{};
        char shown[32];
        if (!::localtime_r(&second, &local) || std::strftime(shown, sizeof shown, "%Y-%m-%d %H:%M:%S", &local) == 0) continue;
        text = replaced(std::move(text), shown, "<copy time>");
        shown[10] = 'T';  // show --json's RFC 3339 form, with the nanoseconds of each copy
        text = replaced(std::move(text), shown, "<copy time>");
    }
    return std::regex_replace(text, std::regex("<copy time>\\.[0-9]{9}"), "<copy time>");
}

TEST_F(CliJobs, FourJobsPrintAndLeaveWhatOneJobDoes)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::time_t copyingStarted = std::time(nullptr);
    const std::string one = corpusFolder("one"), four = corpusFolder("four");
    const std::time_t copyingEnded = std::time(nullptr);
    const auto normal = [&](const std::string& text, const std::string& folder) {
        return withCopyTimesMarked(replaced(text, folder + "/", "F/"), copyingStarted, copyingEnded);
    };
    const auto same = [&](const CliRun& a, const CliRun& b, const std::string& what) {
        EXPECT_EQ(a.status, b.status) << what;
        EXPECT_EQ(normal(a.out, one), normal(b.out, four)) << what;
        EXPECT_EQ(normal(a.err, one), normal(b.err, four)) << what;
    };
    // Every time set, so that the copies' own times (made a moment apart) do not show.
    std::vector<std::string> change{"set", "--title", "Jobs", "--company", "Four", "--archive", "on"};
    for (const std::string time : {"creation", "modify", "access"})
        change.insert(change.end(), {"--" + time + "-date", "2021-05-06", "--" + time + "-time", "07:08:09"});
    auto withJobs = [](std::vector<std::string> arguments, const std::string& jobs, const std::string& folder) {
        arguments.insert(arguments.begin() + 1, jobs);
        arguments.push_back(folder);
        return arguments;
    };
    const CliRun changedOne = run(withJobs(change, "-j1", one));
    const CliRun changedFour = run(withJobs(change, "--jobs=4", four));
    EXPECT_NE(changedOne.out.find(": changed"), std::string::npos);
    same(changedOne, changedFour, "set");
    same(run({"show", "--json", "-j", "1", one}), run({"show", "--json", "-j", "4", four}), "show --json");
    same(run({"export", "--jobs", "1", one}), run({"export", "--jobs", "4", four}), "export");
}

TEST_F(CliJobs, AFileNamedTwiceIsChangedOnce)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::string deck = copyOf("37625.ppt");
    const std::string original = readFileBytes(deck);
    const fs::path otherName = fs::path(deck).parent_path() / "." / fs::path(deck).filename();
    const CliRun changed = run({"set", "-j", "4", "--backup", "--title", "Once", deck, otherName.string(), deck});
    EXPECT_EQ(changed.status, 0) << changed.err;
    EXPECT_EQ(changed.out, deck + ": changed\n" + otherName.string() + ": changed\n" + deck + ": changed\n");
    // A second change would have made the backup a copy of the first one's result.
    EXPECT_EQ(readFileBytes(deck + ".bak"), original);
    EXPECT_NE(run({"show", deck}).out.find("Title: Once\n"), std::string::npos);
    EXPECT_EQ(run({"set", "-j", "0", "--title", "x", deck}).status, 2);
}

}  // namespace
}  // namespace quorvane::testing
