// SPDX-License-Identifier: Apache-2.0
// Times the file system cannot store (ext4 keeps 1901 to 2446, a FILETIME nothing before 1601):
// a change that asks for one fails with that time in its reason, the time keeps its value, and
// the rest of the change stays. Run on the file system of the temporary folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <string>

#include "fileinfo/attribute_store.h"
#include "fileinfo/file_change.h"
#include "fileinfo/file_snapshot.h"
#include "tests/support/corpus.h"
#include "tests/support/environment_guard.h"
#include "tests/support/fileinfo_fixtures.h"

namespace quorvane::fileinfo {
namespace {

namespace fs = std::filesystem;

enum class Which { Creation, LastAccess, LastWrite };

struct UnstorableCase {
    const char* name;
    Which time;
    int year, month, day;  // the date asked; the time of day stays 17:06:40
    bool fileSystemDecides;  // false: no FILETIME holds it, whatever the file system
};

// 2009-03-03 17:06:40.123456789 UTC.
constexpr timespec kOwn{1'236'100'000, 123'456'789};

// Whether this file system keeps a last-write time at `instant`.
bool fileSystemStores(const fs::path& folder, const timespec& instant)
{
    const fs::path probe = folder / "probe";
    testing::writeFileBytes(probe, "");
    const timespec times[2] = {{0, UTIME_OMIT}, instant};
    const bool kept = ::utimensat(AT_FDCWD, probe.c_str(), times, 0) == 0 && testing::statOf(probe).st_mtim.tv_sec == instant.tv_sec;
    fs::remove(probe);
    return kept;
}

void PrintTo(const UnstorableCase& c, std::ostream* out) { *out << c.name; }

class UnstorableTime : public ::testing::TestWithParam<UnstorableCase> {};

TEST_P(UnstorableTime, IsRefusedAndTheRestOfTheChangeStays)
{
    const UnstorableCase& c = GetParam();
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    testing::TimeZoneGuard zone("UTC");
    testing::TimeLocaleGuard locale("C");
    ASSERT_TRUE(locale.ok());
    std::tm asked{};
    asked.tm_year = c.year - 1900;
    asked.tm_mon = c.month - 1;
    asked.tm_mday = c.day;
    asked.tm_hour = 17;
    asked.tm_min = 6;
    asked.tm_sec = 40;
    if (c.fileSystemDecides && fileSystemStores(dir.path(), {timegm(&asked), 0}))
        GTEST_SKIP() << "the file system of " << dir.path() << " stores " << c.name;

    const auto file = dir.file("deck.ppt", "content");
    testing::setAccessAndWriteTimes(file, kOwn, kOwn);
    ASSERT_TRUE(storeCreationTime(file, fileTimeOf(kOwn)));
    FileChangeSettings settings{{}, {}, {}, {BoxState::Grayed, BoxState::Grayed, BoxState::Checked, BoxState::Grayed}};
    FileTimeSources& sources = c.time == Which::Creation ? settings.creation
                               : c.time == Which::LastAccess ? settings.lastAccess : settings.lastWrite;
    sources.date = convert::encodeDateTime({c.year, c.month, c.day}).value();

    const Failure failure = runFileChange(file, settings, [&](const FinalMetadata&) {
        testing::writeFileBytes(file, "content+changed");
        return Failure();
    });
    EXPECT_EQ(failure.kind(), FailureKind::Conversion);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &asked);
    EXPECT_EQ(failure.text(), std::string("the file system cannot store ") + text);
    // The refused time keeps its value, the others come back; the write and the attributes stay.
    const auto after = ReadFileAttributeData(file).value();
    EXPECT_EQ(after.exactLastWrite.tv_sec, kOwn.tv_sec);
    EXPECT_EQ(after.exactLastWrite.tv_nsec, kOwn.tv_nsec);
    EXPECT_EQ(after.exactLastAccess.tv_sec, kOwn.tv_sec);
    EXPECT_EQ(after.exactLastAccess.tv_nsec, kOwn.tv_nsec);
    EXPECT_EQ(after.creationTime, fileTimeOf(kOwn));
    EXPECT_EQ(after.attributes, kHidden);
    EXPECT_EQ(testing::readFileBytes(file), "content+changed");
}

INSTANTIATE_TEST_SUITE_P(
    FileTimesFault, UnstorableTime,
    ::testing::Values(UnstorableCase{"year 1500 last write", Which::LastWrite, 1500, 1, 1, true},
                      UnstorableCase{"year 9999 last write", Which::LastWrite, 9999, 12, 31, true},
                      UnstorableCase{"year 1500 last access", Which::LastAccess, 1500, 1, 1, true},
                      UnstorableCase{"year 9999 last access", Which::LastAccess, 9999, 12, 31, true},
                      UnstorableCase{"year 1500 creation", Which::Creation, 1500, 1, 1, false}),
    [](const ::testing::TestParamInfo<UnstorableCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name) if (ch == ' ') ch = '_';
        return name;
    });

}  // namespace
}  // namespace quorvane::fileinfo
