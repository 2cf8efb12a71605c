// SPDX-License-Identifier: Apache-2.0
// A package change on a real NTFS volume (mkntfs + ntfs-3g, which has no unnamed files) killed
// by SIGKILL around its rename, the signal injected by strace: killed right after the rename, the
// file already has its Read-only, Hidden and System bits and its creation time; killed at the
// sync of the complete new file, the named file it leaves is hidden, and the next change in the
// folder removes it and nothing else. Needs root, /dev/fuse, mkntfs, ntfs-3g and strace; skipped otherwise.
#include <sys/xattr.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "base/temp_name.h"
#include "tests/cli/cli_fixture.h"
#include "tests/cli/ntfs_volume.h"
#include "tests/support/environment_guard.h"
#include "tests/support/package_builder.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kCreation20110203 = 129411795060000000;  // 2011-02-03 04:05:06 UTC
constexpr std::uint32_t kReadOnlyHiddenSystem = 0x07, kHiddenBit = 0x02;
// LeakSanitizer cannot run under ptrace: the traced tool of an ASan build checks no leaks.
constexpr char kStrace[] = "ASAN_OPTIONS=detect_leaks=0 strace -qq ";

template <std::size_t N>
std::uint64_t ntfsValueOf(const fs::path& file, const char* name)
{
    std::array<unsigned char, N> bytes{};
    if (::getxattr(file.c_str(), name, bytes.data(), N) != ssize_t(N)) return 0;
    std::uint64_t value = 0;
    for (const unsigned char b : bytes) value = value << 8 | b;
    return value;
}

// The system call that `log` (strace's output for one process) shows right after the rename of
// the new file over the old, and how many calls of that name the log holds up to it; {"", 0}
// when there is no such rename.
std::pair<std::string, int> firstCallAfterRename(const fs::path& log)
{
    std::ifstream lines(log);
    std::map<std::string, int> counts;
    bool renamed = false;
    for (std::string line; std::getline(lines, line);) {
        const std::string call = line.substr(0, line.find('('));
        ++counts[call];
        if (renamed) return {call, counts[call]};
        renamed = call.starts_with("rename") && line.find("quorvane-") != std::string::npos && line.ends_with("= 0");
    }
    return {"", 0};
}

class NtfsKilledCommit : public Cli, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override
    {
        if (!toolPath("strace")) GTEST_SKIP() << "strace is not installed";
        if (!volume_.skipReason().empty()) GTEST_SKIP() << volume_.skipReason();
        writeFileBytes(deck_, packageBytes(relationshipsPart(), extendedPart(""), corePart("<dc:title>Old</dc:title>")));
    }
    CliRun runTraced(const std::vector<std::string>& arguments, const std::string& straceOptions)
    {
        return run(arguments, [&](const std::string& command) { return kStrace + straceOptions + " " + command; });
    }
    std::vector<std::string> namesBeside() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(volume_.root()))
            if (entry.path() != deck_) names.push_back(entry.path().filename().string());
        return names;
    }

    TimeZoneGuard zone_{"UTC"};
    NtfsVolume volume_{scratch_.path(), GetParam()};
    fs::path deck_ = volume_.root() / "deck.pptx";
};

TEST_P(NtfsKilledCommit, KilledRightAfterTheRenameTheFileHasItsAttributesAndCreationTime)
{
    const CliRun set = run({"set", "--read-only", "on", "--hidden", "on", "--system", "on", "--creation-date",
                            "2011-02-03", "--creation-time", "04:05:06", deck_.string()});
    ASSERT_EQ(set.status, 0) << set.err;
    const fs::path log = scratch_.path() / "strace.log";
    const CliRun traced = runTraced({"set", "--title", "Traced", deck_.string()}, "-o " + shellQuoted(log.string()));
    ASSERT_EQ(traced.status, 0) << traced.err;
    const auto [call, occurrence] = firstCallAfterRename(log);
    ASSERT_FALSE(call.empty()) << "no rename of a new file in " << log;

    const CliRun killed = runTraced({"set", "--title", "Killed", deck_.string()},
                                    "-o /dev/null -e trace=" + call + " -e inject=" + call +
                                        ":signal=SIGKILL:when=" + std::to_string(occurrence));
    EXPECT_NE(killed.status, 0) << "killed at " << call << " #" << occurrence;
    ASSERT_NE(partTextOf(deck_, "docProps/core.xml").find(">Killed<"), std::string::npos) << "the rename happened";
    EXPECT_EQ(ntfsValueOf<4>(deck_, "system.ntfs_attrib_be") & kReadOnlyHiddenSystem, kReadOnlyHiddenSystem);
    EXPECT_EQ(ntfsValueOf<8>(deck_, "system.ntfs_crtime_be"), kCreation20110203);
}

TEST_P(NtfsKilledCommit, ALeftoverIsHiddenAndTheNextChangeRemovesItAndNothingElse)
{
    const CliRun killed =
        runTraced({"set", "--title", "Killed", deck_.string()}, "-o /dev/null -e inject=fsync:signal=SIGKILL");
    EXPECT_NE(killed.status, 0);
    const std::vector<std::string> leftovers = namesBeside();
    ASSERT_EQ(leftovers.size(), 1u) << "the killed change leaves its new file";
    const fs::path leftover = volume_.root() / leftovers.front();
    EXPECT_NE(partTextOf(leftover, "docProps/core.xml").find(">Killed<"), std::string::npos);
    EXPECT_NE(ntfsValueOf<4>(leftover, "system.ntfs_attrib_be") & kHiddenBit, 0u) << "hidden while it lives";

    const std::string lookAlike = ".deck.pptx.quorvane-abcdef", live = temporaryNameBeside(deck_.string());
    writeFileBytes(volume_.root() / lookAlike, "not ours");
    writeFileBytes(live, "a live process's");
    const CliRun next = run({"set", "--title", "Next", deck_.string()});
    EXPECT_EQ(next.status, 0) << next.err;
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_TRUE(fs::exists(volume_.root() / lookAlike));
    EXPECT_TRUE(fs::exists(live));
}

INSTANTIATE_TEST_SUITE_P(MountOptions, NtfsKilledCommit, ::testing::Values("permissions", ""),
                         [](const auto& info) { return std::string(*info.param ? info.param : "defaults"); });

}  // namespace
}  // namespace quorvane::testing
