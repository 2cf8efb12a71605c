// SPDX-License-Identifier: Apache-2.0
// Real Windows attributes on a real NTFS volume (mkntfs on an image file, mounted by ntfs-3g):
// the tool sets every attribute and the creation time, ntfs-3g's own extended attributes hold
// them, a backup on the volume carries them and a display read leaves them as they were. Run
// with and without ntfs-3g's "permissions" option, which ties read-only to the mode bits.
// Needs root, /dev/fuse, mkntfs and ntfs-3g; skipped with the reason otherwise.
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <optional>

#include "tests/cli/cli_fixture.h"
#include "tests/cli/ntfs_volume.h"
#include "tests/support/environment_guard.h"
#include "tests/support/signed_files.h"
#include "tests/support/zip_builder.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;


// ntfs-3g's attribute word and creation time of a file, as stored.
struct NtfsValues {
    std::uint32_t attributes = 0;
    std::uint64_t creationTime = 0;
    friend bool operator==(const NtfsValues&, const NtfsValues&) = default;
    friend std::ostream& operator<<(std::ostream& out, const NtfsValues& values)
    {
        return out << "attributes 0x" << std::hex << values.attributes << std::dec << ", creation " << values.creationTime;
    }
};

std::optional<NtfsValues> ntfsValuesOf(const fs::path& file)
{
    std::array<unsigned char, 4> word{};
    std::array<unsigned char, 8> time{};
    if (::getxattr(file.c_str(), "system.ntfs_attrib_be", word.data(), word.size()) != 4 ||
        ::getxattr(file.c_str(), "system.ntfs_crtime_be", time.data(), time.size()) != 8)
        return std::nullopt;
    NtfsValues values;
    for (const unsigned char b : word) values.attributes = values.attributes << 8 | b;
    for (const unsigned char b : time) values.creationTime = values.creationTime << 8 | b;
    return values;
}

bool hasDosAttrib(const fs::path& file) { return ::getxattr(file.c_str(), "user.DOSATTRIB", nullptr, 0) >= 0; }
mode_t modeOf(const fs::path& file)
{
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 ? info.st_mode : 0;
}

constexpr std::uint64_t kCreation20110203 = 129411795060000000;  // 2011-02-03 04:05:06 UTC
constexpr std::uint32_t kReadOnlyHiddenSystem = 0x07, kArchiveOnly = 0x20;

class CliNtfs : public Cli, public ::testing::WithParamInterface<const char*> {
protected:
    TimeZoneGuard zone_{"UTC"};
};

TEST_P(CliNtfs, AttributesAndCreationTimeLandInNtfsAndSurviveBackupAndDisplay)
{
    const bool modeFollows = std::string(GetParam()) == "permissions";
    const NtfsVolume volume(scratch_.path(), GetParam());
    if (!volume.skipReason().empty()) GTEST_SKIP() << volume.skipReason();
    const fs::path deck = volume.root() / "deck.ppt";
    writeFileBytes(deck, textOf(signedCompoundFileBytes(u"", false)));
    ASSERT_TRUE(ntfsValuesOf(deck)) << "ntfs-3g shows no NTFS attributes";

    const CliRun set = run({"set", "--title", "On NTFS", "--read-only", "on", "--hidden", "on", "--system", "on",
                            "--archive", "off", "--creation-date", "2011-02-03", "--creation-time", "04:05:06",
                            deck.string()});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(ntfsValuesOf(deck), (NtfsValues{kReadOnlyHiddenSystem, kCreation20110203}));
    EXPECT_FALSE(hasDosAttrib(deck)) << "the NTFS attributes are the store here";
    if (modeFollows) {
        EXPECT_EQ(modeOf(deck) & 0222, 0u);
    }

    // The display read clears read-only for a moment and puts everything back.
    const CliRun show = run({"show", deck.string()});
    EXPECT_EQ(show.status, 0) << show.err;
    for (const char* line : {"Title: On NTFS\n", "Creation Time: 2011-02-03 04:05:06\n", "Read-only: Y\n", "Archive: \n",
                             "Hidden: Y\n", "System: Y\n"})
        EXPECT_NE(show.out.find(line), std::string::npos) << line << show.out;
    EXPECT_EQ(ntfsValuesOf(deck), (NtfsValues{kReadOnlyHiddenSystem, kCreation20110203}));
    if (modeFollows) {
        EXPECT_EQ(modeOf(deck) & 0222, 0u);
    }

    // Everything cleared but archive; the backup keeps what the file had.
    const CliRun clear = run({"set", "--backup", "--read-only", "off", "--hidden", "off", "--system", "off",
                              "--archive", "on", "--creation-time", "23:59:58", deck.string()});
    EXPECT_EQ(clear.status, 0) << clear.err;
    EXPECT_EQ(ntfsValuesOf(deck), (NtfsValues{kArchiveOnly, kCreation20110203 + (86398 - 14706) * 10'000'000ull}));
    EXPECT_EQ(ntfsValuesOf(deck.string() + ".bak"), (NtfsValues{kReadOnlyHiddenSystem, kCreation20110203}));
    EXPECT_NE(modeOf(deck) & S_IWUSR, 0u);
    const CliRun showBackup = run({"show", deck.string() + ".bak"});
    EXPECT_NE(showBackup.out.find("Title: On NTFS\nSubject: "), std::string::npos) << showBackup.out << showBackup.err;
}

INSTANTIATE_TEST_SUITE_P(MountOptions, CliNtfs, ::testing::Values("permissions", ""),
                         [](const auto& info) { return std::string(*info.param ? info.param : "defaults"); });

}  // namespace
}  // namespace quorvane::testing
