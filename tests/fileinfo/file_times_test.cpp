// SPDX-License-Identifier: Apache-2.0
// Finding files, snapshots, setting times (the exclusive open) and putting a file back after a
// read, with real files, a child process holding locks, and a file system without extended
// attributes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "fileinfo/attribute_store.h"
#include "fileinfo/file_snapshot.h"
#include "fileinfo/file_times.h"
#include "document/ppt_rows.h"
#include "tests/support/corpus.h"
#include "tests/support/environment_guard.h"
#include "tests/support/fileinfo_fixtures.h"

namespace quorvane::fileinfo {
namespace {

namespace fs = std::filesystem;
using testing::statOf;

constexpr convert::FileTime kUnixEpochFileTime = 116'444'736'000'000'000;

TEST(FileTimesConversion, FileTimeAndPosixInstants)
{
    EXPECT_EQ(fileTimeOf(timespec{0, 0}), kUnixEpochFileTime);
    EXPECT_EQ(fileTimeOf(timespec{1, 999'999'999}), kUnixEpochFileTime + 19'999'999);  // below 100 ns is cut
    EXPECT_EQ(fileTimeOf(timespec{-11'644'473'600, 0}), 0u);                           // 1601-01-01
    EXPECT_EQ(fileTimeOf(timespec{-11'644'473'601, 0}), 0u);                           // before: no FILETIME
    const timespec back = timespecOf(kUnixEpochFileTime + 12'345'678'901);
    EXPECT_EQ(back.tv_sec, 1234);
    EXPECT_EQ(back.tv_nsec, 567'890'100);
    EXPECT_EQ(timespecOf(0).tv_sec, -11'644'473'600);
}

TEST(FileEntryExists, RegularFilesOnly)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const auto plain = dir.file("plain.ppt");
    const auto hiddenSystem = dir.file("hidden.ppt");
    ASSERT_TRUE(writeAttributeWord(hiddenSystem, kHidden | kSystem | kReadOnly));
    const auto dotFile = dir.file(".dotted.pptx");
    fs::create_directory(dir.path() / "folder.ppt");
    fs::create_symlink(plain, dir.path() / "link.ppt");
    fs::create_symlink(dir.path() / "folder.ppt", dir.path() / "folderlink.ppt");
    const struct {
        fs::path path;
        bool exists;
    } cases[] = {
        {plain, true}, {hiddenSystem, true}, {dotFile, true}, {dir.path() / "link.ppt", true},
        {dir.path() / "folder.ppt", false}, {dir.path() / "folderlink.ppt", false},
        {dir.path() / "missing.ppt", false}, {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(FileEntryExists(c.path), c.exists);
        EXPECT_EQ(ReadFileAttributeData(c.path).has_value(), c.exists);
    }
}

TEST(FileSnapshotRead, TimesAndCreationTime)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const auto file = dir.file("deck.ppt");
    testing::setAccessAndWriteTimes(file, {1'236'188'710, 123'456'789}, {1'000'000'000, 5});
    auto snapshot = ReadFileAttributeData(file);
    ASSERT_TRUE(snapshot.has_value());
    EXPECT_EQ(snapshot->lastAccessTime, kUnixEpochFileTime + 12'361'887'101'234'567);
    EXPECT_EQ(snapshot->lastWriteTime, kUnixEpochFileTime + 10'000'000'000'000'000);
    EXPECT_TRUE(sameInstant(snapshot->exactLastAccess, {1'236'188'710, 123'456'789}));
    EXPECT_TRUE(sameInstant(snapshot->exactLastWrite, {1'000'000'000, 5}));
    // No stored creation time: the birth time where the file system keeps one (made just now,
    // so after the last write set above), else the last-write time.
    EXPECT_GE(snapshot->creationTime, snapshot->lastWriteTime);

    ASSERT_TRUE(storeCreationTime(file, 0x01C99CA3D4A44D00));
    EXPECT_EQ(ReadFileAttributeData(file)->creationTime, 0x01C99CA3D4A44D00u);
}

TEST(SetFileTimes, SetsAllThreeAtFullPrecision)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    testing::TimeZoneGuard zone("Europe/Berlin");
    const auto file = dir.file("deck.ppt");
    const auto at = [](int year, int month, int day, int hour, int minute, int second, int ms) {
        return convert::encodeDateTime({year, month, day, hour, minute, second, ms}).value();
    };
    // 2009-03-04 17:45:10.123 in Berlin (winter, UTC+1) is 16:45:10.123 UTC; 2008-07-01 in summer (UTC+2).
    ASSERT_TRUE(SetFileTimes(file, at(2001, 1, 1, 8, 0, 0, 0), at(2009, 3, 4, 17, 45, 10, 123), at(2008, 7, 1, 12, 0, 0, 999)));
    const struct stat info = statOf(file);
    EXPECT_TRUE(sameInstant(info.st_mtim, {1'236'185'110, 123'000'000}));
    EXPECT_TRUE(sameInstant(info.st_atim, {1'214'906'400, 999'000'000}));
    const auto snapshot = ReadFileAttributeData(file);
    EXPECT_EQ(snapshot->creationTime, fileTimeOf({978'332'400, 0}));  // 2001-01-01 07:00 UTC
    EXPECT_EQ(convert::FileTimeToDateTime(snapshot->creationTime), at(2001, 1, 1, 8, 0, 0, 0));
    EXPECT_EQ(snapshot->attributes, 0u);
}

TEST(SetFileTimes, RefusesReadOnlyAndLockedFiles)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const convert::DateTime newTime = convert::encodeDateTime({2010, 5, 6, 7, 8, 9, 0}).value();
    const auto file = dir.file("deck.ppt");
    testing::setAccessAndWriteTimes(file, {1'000'000'000, 1}, {1'000'000'000, 2});
    const testing::FileTrace before = testing::FileTrace::of(file);

    ASSERT_TRUE(writeAttributeWord(file, kReadOnly));
    EXPECT_FALSE(SetFileTimes(file, newTime, newTime, newTime)) << "read-only, even for root";
    ASSERT_TRUE(writeAttributeWord(file, 0));
    for (const bool exclusive : {false, true}) {
        SCOPED_TRACE(exclusive ? "exclusive lock" : "shared lock");
        testing::LockHoldingChild holder(file, exclusive);
        ASSERT_TRUE(holder.holding());
        EXPECT_FALSE(SetFileTimes(file, newTime, newTime, newTime));
    }
    EXPECT_EQ(testing::FileTrace::of(file), before);
    EXPECT_FALSE(SetFileTimes(dir.path() / "missing.ppt", newTime, newTime, newTime));
    EXPECT_TRUE(SetFileTimes(file, newTime, newTime, newTime)) << "the lock ended with its process";
}

TEST(RestoreFileTimesAfterRead, LeavesNoTraceOnAnyKindOfFile)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const AttributeWord words[] = {0, kReadOnly, kHidden | kSystem, kReadOnly | kHidden | kArchive | 0x2000};
    for (const AttributeWord word : words) {
        SCOPED_TRACE(::testing::Message() << "word 0x" << std::hex << word);
        const auto file = dir.file("deck.ppt");
        testing::setAccessAndWriteTimes(file, {1'100'000'000, 111'111'111}, {1'000'000'000, 999'999'999});
        ASSERT_TRUE(writeAttributeWord(file, word));
        const testing::FileTrace before = testing::FileTrace::of(file);
        const FileSnapshot snapshot = ReadFileAttributeData(file).value();

        // What a read may do: it touches the access time.
        { std::ifstream(file) .get(); }
        testing::setAccessAndWriteTimes(file, {1'200'000'000, 0}, before.lastWrite);
        EXPECT_TRUE(RestoreFileTimesAfterRead(file, snapshot));
        EXPECT_EQ(testing::FileTrace::of(file), before);
        ::chmod(file.c_str(), 0644);
        fs::remove(file);
    }
}

// The display's road with the real reader: snapshot, the 14 rows read, restore.
TEST(RestoreFileTimesAfterRead, ShowingARealPptLeavesNoTrace)
{
    QUORVANE_REQUIRE_CORPUS();
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    for (const AttributeWord word : {AttributeWord(0), kReadOnly | kHidden | kSystem}) {
        SCOPED_TRACE(::testing::Message() << "word 0x" << std::hex << word);
        const fs::path deck = dir.path() / "deck.ppt";
        fs::copy_file(testing::corpusDir() / "files" / "38256.ppt", deck, fs::copy_options::overwrite_existing);
        testing::setAccessAndWriteTimes(deck, {1'100'000'000, 111'111'111}, {1'000'000'000, 999'999'999});
        ASSERT_TRUE(writeAttributeWord(deck, word));
        const testing::FileTrace before = testing::FileTrace::of(deck);
        const FileSnapshot snapshot = ReadFileAttributeData(deck).value();
        const auto rows = document::readPptRows(deck);
        ASSERT_TRUE(rows.ok()) << rows.failure().text();
        EXPECT_NE((*rows)[0], "");
        EXPECT_TRUE(RestoreFileTimesAfterRead(deck, snapshot));
        EXPECT_EQ(testing::FileTrace::of(deck), before);
        ASSERT_TRUE(writeAttributeWord(deck, 0));
    }
}

// Only the access time a read moved is put back, also while another program holds the file, and
// nothing else is written; a file written since the snapshot keeps the times its writer gave it.
TEST(RestoreFileTimesAfterRead, PutsBackOnlyAMovedAccessTime)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const auto file = dir.file("deck.ppt");
    ASSERT_TRUE(writeAttributeWord(file, kReadOnly | kHidden));
    const testing::FileTrace expected = testing::FileTrace::of(file);
    const FileSnapshot snapshot = ReadFileAttributeData(file).value();
    {
        testing::LockHoldingChild holder(file, true);
        ASSERT_TRUE(holder.holding());
        testing::setAccessAndWriteTimes(file, {1'200'000'000, 0}, expected.lastWrite);
        EXPECT_EQ(putLastAccessBack(file, snapshot).text(), "");
    }
    EXPECT_EQ(testing::FileTrace::of(file), expected);

    const timespec writtenSince{1'300'000'000, 0};
    testing::setAccessAndWriteTimes(file, writtenSince, writtenSince);
    EXPECT_EQ(putLastAccessBack(file, snapshot).text(), "");
    EXPECT_TRUE(sameInstant(testing::FileTrace::of(file).lastAccess, writtenSince));
}

TEST(FileTimesWithoutExtendedAttributes, CreationTimeIsRefusedTheRestWorks)
{
    const auto failure = testing::runOnFileSystemWithoutXattrs([](const fs::path& folder) -> std::string {
        const auto file = folder / "deck.ppt";
        if (!testing::createEmptyFile(file)) return "cannot create a file";
        const auto snapshot = ReadFileAttributeData(file);
        if (!snapshot) return "no snapshot";
        const convert::DateTime other = convert::FileTimeToDateTime(snapshot->lastWriteTime) - 3.5;
        // Without a birth time the creation time reads as the last write: the same value needs
        // nothing stored, another one cannot be kept.
        if (!SetFileTimes(file, other, other, other)) return "a creation time equal to the last write was refused";
        if (SetFileTimes(file, other - 1, other, other)) return "a creation time it cannot keep reported success";
        const auto after = ReadFileAttributeData(file);
        if (!after || after->lastWriteTime == snapshot->lastWriteTime) return "last write was not set";
        if (!writeAttributeWord(file, kReadOnly)) return "read-only refused";
        auto readOnlySnapshot = ReadFileAttributeData(file);
        if (!RestoreFileTimesAfterRead(file, *readOnlySnapshot)) return "the restore failed";
        if (ReadFileAttributeData(file)->attributes != kReadOnly) return "the restore lost read-only";
        return "";
    });
    if (!failure) GTEST_SKIP() << "cannot mount a file system without extended attributes here";
    EXPECT_EQ(*failure, "");
}

}  // namespace
}  // namespace quorvane::fileinfo
