// SPDX-License-Identifier: Apache-2.0
// quorvane-cli killed at random moments of a change (two rows; a custom property that the
// user-defined section gains; a title with a custom property; a scrub that also removes the
// thumbnail and the custom properties) of a read-only, hidden, system file with a stored
// creation time:
// whatever the moment, the file opens with all its old properties or all its new ones, keeps its mode, attribute word and creation time (the change asks none of them),
// a package keeps its times too (a .ppt its last access), and no temporary file stays behind after SIGTERM. After SIGKILL
// one may stay only where the folder takes no unnamed files, or when the kill fell between the
// naming of the complete new file and its rename (a moment of two system calls, counted apart).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <iostream>
#include <filesystem>
#include <random>
#include <thread>

#include "base/unique_fd.h"
#include "tests/support/document_reads.h"
#include "document/document_format.h"
#include "tests/support/document_reads.h"
#include "fileinfo/attribute_store.h"
#include "tests/cli/ntfs_volume.h"
#include "tests/support/corpus.h"
#include "tests/support/fileinfo_fixtures.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRoundsPerFormat = 100;  // half of them SIGKILL, half SIGTERM
constexpr fileinfo::AttributeWord kWord = fileinfo::kReadOnly | fileinfo::kHidden | fileinfo::kSystem;
constexpr convert::FileTime kStoredCreation = 125'000'000'000'000'000;  // 1997-02-11
constexpr timespec kOldTime{1'000'000'000, 123'456'789};

// A fresh copy of `corpusName` in `folder`, named `stem` and the corpus file's extension, as the
// rounds start from it.
fs::path preparedCopy(const fs::path& folder, const std::string& corpusName, const std::string& stem = "deck")
{
    const fs::path file = folder / (stem + fs::path(corpusName).extension().string());
    fs::remove(file);
    fs::copy_file(testing::corpusDir() / "files" / corpusName, file);
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_TRUE(fileinfo::writeAttributeWord(file, kWord));
    EXPECT_TRUE(fileinfo::storeCreationTime(file, kStoredCreation));
    testing::setAccessAndWriteTimes(file, kOldTime, kOldTime);
    return file;
}

bool sameInstant(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

// What a change does.
enum class Change {
    Rows,            // set --title --author
    Custom,          // set --custom (a new integer property)
    RowsAndCustom,   // set --title --custom
    Scrub            // scrub --thumbnail of a file that has custom properties
};

// The rows and custom properties of a file, as one comparable text; the failure when they cannot
// be read.
Result<std::string> propertiesOf(const fs::path& file, Change)
{
    std::string text;
    const auto rows = testing::documentRowsOrFailure(file);
    if (!rows.ok()) return rows.failure();
    for (const std::string& row : *rows) text += row + '\n';
    const auto custom = testing::documentCustom(file);
    if (!custom.ok()) return custom.failure();
    for (const props::CustomProperty& property : *custom) text += property.name + '\t' + property.type + '\t' + property.value + '\n';
    return text;
}

pid_t startChange(const fs::path& file, const Change& change)
{
    const std::string cli = QUORVANE_BINARY_DIR "/cli/quorvane-cli";
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        char* const environment[] = {const_cast<char*>("LC_ALL=C"), nullptr};
        const char* const end = static_cast<char*>(nullptr);
        switch (change) {
        case Change::Rows:
            ::execle(cli.c_str(), "quorvane-cli", "set", "--title", "Interrupted title", "--author", "Interrupted author",
                     file.c_str(), end, environment);
            break;
        case Change::Custom:
            ::execle(cli.c_str(), "quorvane-cli", "set", "--custom", "Interrupted:integer=42", file.c_str(), end, environment);
            break;
        case Change::RowsAndCustom:
            ::execle(cli.c_str(), "quorvane-cli", "set", "--title", "Interrupted title", "--custom", "Interrupted:integer=42",
                     file.c_str(), end, environment);
            break;
        case Change::Scrub:
            ::execle(cli.c_str(), "quorvane-cli", "scrub", "--thumbnail", file.c_str(), end, environment);
            break;
        }
        ::_exit(127);
    }
    return child;
}

// The exit status, or -signal for a child that a signal ended.
int waitFor(pid_t child)
{
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    return names;
}

bool takesUnnamedFiles(const fs::path& folder)
{
    return UniqueFd(::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600)).get() >= 0;
}

struct Tally {
    int killedOld = 0, killedNew = 0, finished = 0, killedWhileNamed = 0;
};

// `ntfs`: the rounds run on a folder of an ntfs-3g volume, where only the properties are
// checked (the volume keeps the attribute word and creation time in its own attributes).
Tally killAtRandomMoments(const std::string& corpusName, bool package, Change change = Change::Rows,
                          const fs::path& ntfs = {})
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    if (dir.path().empty() && ntfs.empty()) return {};
    const fs::path work = (ntfs.empty() ? dir.path() : ntfs) / "work";
    fs::remove_all(work);
    fs::create_directory(work);
    const bool checkMetadata = ntfs.empty();

    // Whole runs give the new rows and the length of a change (the mean of three, after a first
    // one that warms the caches).
    fs::path file = preparedCopy(work, corpusName);
    const auto oldRows = propertiesOf(file, change);
    EXPECT_TRUE(oldRows.ok()) << oldRows.failure().text();
    Clock::duration wholeRun{};
    std::optional<std::string> newRows;
    for (int run = 0; run < 4; ++run) {
        file = preparedCopy(work, corpusName);
        testing::FileTrace before = testing::FileTrace::of(file);
        const auto started = Clock::now();
        EXPECT_EQ(waitFor(startChange(file, change)), 0);
        if (run > 0) wholeRun += (Clock::now() - started) / 3;
        const testing::FileTrace after = testing::FileTrace::of(file);
        if (checkMetadata) {
            EXPECT_EQ(after, before) << "a whole run keeps the times, mode, word and creation time";
        }
        if (auto rows = propertiesOf(file, change); rows.ok()) newRows = *rows;
    }
    EXPECT_TRUE(oldRows.ok() && newRows && *newRows != *oldRows) << "the change must change the rows";
    if (!oldRows.ok() || !newRows) return {};

    const bool unnamed = takesUnnamedFiles(work);
    std::mt19937 random(20240611);
    // Most of a run is the start of the process; the kills fall in its last part, where the file
    // is read, written and switched, and a little past it.
    const long long runUs = std::chrono::duration_cast<std::chrono::microseconds>(wholeRun).count();
    std::uniform_int_distribution<long long> delayUs(runUs / 2, runUs + runUs / 10);
    Tally tally;
    for (int round = 0; round < kRoundsPerFormat; ++round) {
        const int signal = round % 2 ? SIGTERM : SIGKILL;
        const long long delay = delayUs(random);
        SCOPED_TRACE(::testing::Message() << corpusName << " round " << round << ", signal " << signal << " after "
                                          << delay << " us");
        file = preparedCopy(work, corpusName);
        const testing::FileTrace expected = testing::FileTrace::of(file);
        const auto roundStart = std::chrono::system_clock::now();
        const pid_t child = startChange(file, change);
        std::this_thread::sleep_for(std::chrono::microseconds(delay));
        ::kill(child, signal);
        const int status = waitFor(child);

        const auto rows = propertiesOf(file, change);
        EXPECT_TRUE(rows.ok()) << rows.failure().text();
        if (!rows.ok()) break;
        const bool isOld = *rows == *oldRows, isNew = *rows == *newRows;
        EXPECT_TRUE(isOld || isNew) << "a mix of old and new properties";
        if (status == 0) ++tally.finished;
        else (isNew ? tally.killedNew : tally.killedOld) += 1;

        // The file is read without moving its last access, though relatime would move it.
        testing::FileTrace found = testing::FileTrace::of(file);
        if (!package && status != 0 && !sameInstant(found.lastWrite, expected.lastWrite)) {
            // Written in place, an interrupted write may keep the moment of the write.
            EXPECT_GE(found.lastWrite.tv_sec, std::chrono::system_clock::to_time_t(roundStart) - 1);
            found.lastWrite = expected.lastWrite;
        }
        if (checkMetadata) {
            EXPECT_EQ(found, expected) << "mode, attribute word, creation time" << (package ? " and times" : "");
        }
        for (const std::string& name : namesIn(work)) {
            if (name == file.filename().string()) continue;
            const fs::path left = work / name;
            // Killed between naming and rename: the whole new file, not yet renamed over the old.
            const bool namedNewFile = package && signal == SIGKILL && isOld && propertiesOf(left, change).ok() &&
                                      *propertiesOf(left, change) == *newRows;
            if (unnamed && namedNewFile) ++tally.killedWhileNamed;
            else EXPECT_FALSE(signal == SIGTERM || unnamed) << "a temporary file stays: " << name;
            fs::remove(left);
        }
    }
    return tally;
}

// A batch of `kFiles` files, .ppt and .pptx by turns, whose changes share their flush rounds,
// killed at random moments of the whole run: every file all old or all new with its metadata,
// and no temporary file after SIGTERM. Returns the rounds that the signal ended.
int killBatchAtRandomMoments()
{
    constexpr int kFiles = 50, kRounds = 30;
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    if (dir.path().empty()) return 0;
    const fs::path work = dir.path() / "batch";
    const auto prepareAll = [&] {
        fs::remove_all(work);
        fs::create_directory(work);
        std::vector<fs::path> files;
        for (int index = 0; index < kFiles; ++index)
            files.push_back(preparedCopy(work, index % 2 ? "60810.pptx" : "37625.ppt", "deck" + std::to_string(index)));
        return files;
    };
    const auto startBatch = [](const std::vector<fs::path>& files) {
        std::vector<std::string> arguments{"quorvane-cli", "set", "--title", "Batch title", "--author", "Batch author"};
        for (const fs::path& file : files) arguments.push_back(file.string());
        const pid_t child = ::fork();
        if (child == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            std::vector<char*> argv;
            for (std::string& argument : arguments) argv.push_back(argument.data());
            argv.push_back(nullptr);
            char* const environment[] = {const_cast<char*>("LC_ALL=C"), nullptr};
            ::execve(QUORVANE_BINARY_DIR "/cli/quorvane-cli", argv.data(), environment);
            ::_exit(127);
        }
        return child;
    };

    std::vector<fs::path> files = prepareAll();
    std::vector<std::string> oldRows, newRows;
    for (const fs::path& file : files) oldRows.push_back(*propertiesOf(file, Change::Rows));
    const auto started = Clock::now();
    EXPECT_EQ(waitFor(startBatch(files)), 0);
    const long long runUs = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started).count();
    for (const fs::path& file : files) newRows.push_back(*propertiesOf(file, Change::Rows));

    std::mt19937 random(20261208);
    std::uniform_int_distribution<long long> delayUs(runUs / 4, runUs);
    int killed = 0, mixed = 0;
    for (int round = 0; round < kRounds; ++round) {
        const int signal = round % 2 ? SIGTERM : SIGKILL;
        const long long delay = delayUs(random);
        SCOPED_TRACE(::testing::Message() << "batch round " << round << ", signal " << signal << " after " << delay << " us");
        files = prepareAll();
        std::vector<testing::FileTrace> expected;
        for (const fs::path& file : files) expected.push_back(testing::FileTrace::of(file));
        const pid_t child = startBatch(files);
        std::this_thread::sleep_for(std::chrono::microseconds(delay));
        ::kill(child, signal);
        const int status = waitFor(child);
        int newCount = 0;
        for (std::size_t index = 0; index < files.size(); ++index) {
            SCOPED_TRACE(files[index].filename().string());
            const auto rows = propertiesOf(files[index], Change::Rows);
            EXPECT_TRUE(rows.ok()) << rows.failure().text();
            if (!rows.ok()) return mixed;
            EXPECT_TRUE(*rows == oldRows[index] || *rows == newRows[index]) << "a mix of old and new properties";
            newCount += *rows == newRows[index] ? 1 : 0;
            testing::FileTrace found = testing::FileTrace::of(files[index]);
            if (files[index].extension() == ".ppt" && status != 0) found.lastWrite = expected[index].lastWrite;
            EXPECT_EQ(found, expected[index]) << "mode, attribute word, creation time and times";
        }
        killed += status < 0 ? 1 : 0;
        mixed += newCount > 0 && newCount < kFiles ? 1 : 0;
        for (const std::string& name : namesIn(work))
            if (name.find(".quorvane-") != std::string::npos) {
                EXPECT_NE(signal, SIGTERM) << "a temporary file stays: " << name;
                fs::remove(work / name);
            }
    }
    std::cout << "batch rounds: " << killed << " of " << kRounds << " ended by the signal, " << mixed
              << " with some files old and some new\n";
    return killed;
}

void report(const char* format, const Tally& tally)
{
    const std::string line = std::string(format) + ": " + std::to_string(tally.killedOld) + " killed with the old rows, " +
                             std::to_string(tally.killedNew) + " killed with the new rows, " +
                             std::to_string(tally.finished) + " finished before the signal, " +
                             std::to_string(tally.killedWhileNamed) + " killed between naming the new file and its rename";
    ::testing::Test::RecordProperty(format, line);
    std::cout << line << "\n";
}

TEST(InterruptedChange, PackageKeepsItsMetadataAndLeavesNoTemporaryFile)
{
    QUORVANE_REQUIRE_CORPUS();
    report("pptx", killAtRandomMoments("60810.pptx", true));
}

TEST(InterruptedChange, CompoundFileKeepsItsAttributesAndLeavesNoTemporaryFile)
{
    QUORVANE_REQUIRE_CORPUS();
    report("ppt", killAtRandomMoments("37625.ppt", false));
}

TEST(InterruptedChange, ACustomPropertyLandsWholeOrNotAtAll)
{
    QUORVANE_REQUIRE_CORPUS();
    report("ppt custom", killAtRandomMoments("37625.ppt", false, Change::Custom));
    report("pptx custom", killAtRandomMoments("60810.pptx", true, Change::Custom));
}

// Rows, custom properties, the thumbnail and (scrub) the last user's name are one commit: no kill
// leaves some of them changed and others not.
TEST(InterruptedChange, RowsAndCustomPropertiesCommitTogether)
{
    QUORVANE_REQUIRE_CORPUS();
    report("ppt title and custom", killAtRandomMoments("bug61881.ppt", false, Change::RowsAndCustom));
    report("pptx title and custom", killAtRandomMoments("60810.pptx", true, Change::RowsAndCustom));
    report("ppt scrub", killAtRandomMoments("bug61881.ppt", false, Change::Scrub));
    report("pptx scrub", killAtRandomMoments("60810.pptx", true, Change::Scrub));
}

// The same commits on a real NTFS volume (ntfs-3g): every round all old or all new.
TEST(InterruptedChange, OnNtfsEveryCommitIsWholeOrNotAtAll)
{
    QUORVANE_REQUIRE_CORPUS();
    testing::ScratchDir scratch;
    const testing::NtfsVolume volume(scratch.path(), "");
    if (!volume.skipReason().empty()) GTEST_SKIP() << volume.skipReason();
    report("ntfs ppt title and custom", killAtRandomMoments("bug61881.ppt", false, Change::RowsAndCustom, volume.root()));
    report("ntfs pptx title and custom", killAtRandomMoments("60810.pptx", true, Change::RowsAndCustom, volume.root()));
    report("ntfs ppt scrub", killAtRandomMoments("bug61881.ppt", false, Change::Scrub, volume.root()));
    report("ntfs pptx scrub", killAtRandomMoments("60810.pptx", true, Change::Scrub, volume.root()));
}

// The files of a batch share their flushes; killed at any moment, each of them is still one
// commit.
TEST(InterruptedChange, EveryFileOfABatchSharingItsFlushesIsWholeOrNotAtAll)
{
    QUORVANE_REQUIRE_CORPUS();
    EXPECT_GE(killBatchAtRandomMoments(), 1) << "no signal fell inside the batch";
}

}  // namespace
}  // namespace quorvane
