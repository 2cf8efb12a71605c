// The file change sequence with a property writer that appends bytes: read-only cleared for the
// write and put back, the attribute boxes, the batch time composition, and every failure path
// giving the file its attribute word back.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "fileinfo/attribute_store.h"
#include "fileinfo/file_change.h"
#include "fileinfo/file_snapshot.h"
#include "base/error.h"
#include "package/package_reader.h"
#include "package/package_writer.h"
#include "document/ppt_rows.h"
#include "tests/support/corpus.h"
#include "tests/support/environment_guard.h"
#include "tests/support/fileinfo_fixtures.h"

namespace quorvane::fileinfo {
namespace {

namespace fs = std::filesystem;
using testing::statOf;

constexpr auto G = BoxState::Grayed;
constexpr auto C = BoxState::Checked;
constexpr auto U = BoxState::Unchecked;

convert::DateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0)
{
    return convert::encodeDateTime({year, month, day, hour, minute, second, ms}).value();
}

// A stand-in for the property writers: refuses a file that is read-only (as ours do, root or
// not), then appends bytes and so changes the contents and the last-write time.
struct AppendingWriter {
    fs::path file;
    int calls = 0;
    bool operator()()
    {
        ++calls;
        const auto state = readAttributeState(file);
        if (!state || (state->word & kReadOnly)) return false;
        const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        const bool written = fd >= 0 && ::write(fd, "+changed", 8) == 8;
        return ::close(fd) == 0 && written;
    }
};

FileChangeSettings batchSettings(AttributeBoxes boxes = {}) { return {{}, {}, {}, boxes}; }

TEST(FileChange, ReadOnlyFileWithGrayedBoxesIsWrittenAndReadOnlyAgain)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    for (const AttributeWord word : {kReadOnly, kReadOnly | kHidden | kSystem | 0x2000}) {
        SCOPED_TRACE(::testing::Message() << "word 0x" << std::hex << word);
        const auto file = dir.file("deck.ppt", "content");
        ASSERT_TRUE(writeAttributeWord(file, word));
        AppendingWriter writer{file};
        EXPECT_TRUE(ApplyFileChange(file, batchSettings(), std::ref(writer)));
        EXPECT_EQ(writer.calls, 1);
        EXPECT_EQ(testing::readFileBytes(file), "content+changed");
        EXPECT_EQ(ReadFileAttributeData(file)->attributes, word);
        EXPECT_EQ(statOf(file).st_mode & 0222, 0u);
        ::chmod(file.c_str(), 0644);
    }
}

// The same with the real compound-document writer on a copy of a real .ppt file, and its two
// ways to fail: a refused write (not a compound file) and a conversion error (thrown).
TEST(FileChange, RealPptWriterOnReadOnlyFiles)
{
    QUORVANE_REQUIRE_CORPUS();
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const fs::path deck = dir.path() / "deck.ppt";
    fs::copy_file(testing::corpusDir() / "files" / "38256.ppt", deck);
    const AttributeWord word = kReadOnly | kHidden | 0x2000;
    ASSERT_TRUE(writeAttributeWord(deck, word));

    document::RowChanges title;
    title[0] = "Changed by the sequence";
    EXPECT_TRUE(ApplyFileChange(deck, batchSettings(), [&] { return document::writePptRows(deck, title); }));
    EXPECT_EQ(document::readPptRow(deck, 0), "Changed by the sequence");
    EXPECT_EQ(ReadFileAttributeData(deck)->attributes, word);

    document::RowChanges badDate;
    badDate[props::kCreatedRow] = "not a date";
    EXPECT_THROW(ApplyFileChange(deck, batchSettings(), [&] { return document::writePptRows(deck, badDate); }), Error);
    EXPECT_EQ(ReadFileAttributeData(deck)->attributes, word);
    EXPECT_EQ(statOf(deck).st_mode & 0222, 0u);

    const auto notCompound = dir.file("text.ppt", "not a compound file");
    ASSERT_TRUE(writeAttributeWord(notCompound, word));
    EXPECT_FALSE(ApplyFileChange(notCompound, batchSettings(), [&] { return document::writePptRows(notCompound, title); }));
    EXPECT_EQ(ReadFileAttributeData(notCompound)->attributes, word);
    EXPECT_EQ(statOf(notCompound).st_mode & 0222, 0u);
}

// A package rewrite renames a new file over the old one, so everything kept beside the
// contents (mode, stored bits, creation time) must come back through the sequence's last steps.
TEST(FileChange, RealPackageRewriteKeepsAttributesAndTimes)
{
    QUORVANE_REQUIRE_CORPUS();
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const fs::path deck = dir.path() / "deck.pptx";
    fs::copy_file(testing::corpusDir() / "files" / "51187.pptx", deck);
    const timespec lastAccess{1'236'188'710, 250'000'000}, lastWrite{1'236'100'000, 500'000'000};
    testing::setAccessAndWriteTimes(deck, lastAccess, lastWrite);
    ASSERT_TRUE(storeCreationTime(deck, fileTimeOf({1'200'000'000, 125'000'000})));
    const AttributeWord word = kReadOnly | kHidden | kArchive | 0x2000;
    ASSERT_TRUE(writeAttributeWord(deck, word));
    const ino_t inodeBefore = statOf(deck).st_ino;

    props::RowTexts texts;
    texts[0] = "Changed by the sequence";
    props::RowSelection titleOnly{};
    titleOnly[0] = true;
    EXPECT_TRUE(ApplyFileChange(deck, batchSettings(), [&] { return package::WritePackageProperties(deck, texts, titleOnly); }));
    EXPECT_NE(statOf(deck).st_ino, inodeBefore) << "expected a rewrite, not an edit in place";
    const auto after = ReadFileAttributeData(deck);  // before the read below moves the access time
    EXPECT_EQ(after->attributes, word);
    EXPECT_EQ(after->creationTime, fileTimeOf({1'200'000'000, 125'000'000}));
    EXPECT_EQ(after->lastWriteTime, fileTimeOf(lastWrite));
    EXPECT_EQ(after->lastAccessTime, fileTimeOf(lastAccess));
    EXPECT_EQ(statOf(deck).st_mode & 0222, 0u);
    EXPECT_EQ(package::ReadPackageProperties(deck).value_or(props::RowTexts{})[0], "Changed by the sequence");
}

TEST(FileChange, BoxesDecideTheFinalWordAndOtherBitsSurvive)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const struct {
        AttributeWord before;
        AttributeBoxes boxes;  // read-only, archive, hidden, system
        AttributeWord after;
    } cases[] = {
        {kReadOnly, {U, G, G, G}, 0},
        {0, {C, G, G, G}, kReadOnly},
        {0x2000, {G, G, G, G}, 0x2000},
        {0x2000 | kReadOnly | kArchive, {G, U, C, G}, 0x2000 | kReadOnly | kHidden},
        {kHidden | kSystem, {C, C, U, U}, kReadOnly | kArchive},
        {kArchive, {G, G, G, G}, kArchive},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << "0x" << c.before << " -> 0x" << c.after);
        const auto file = dir.file("deck.ppt");
        ASSERT_TRUE(writeAttributeWord(file, c.before));
        AppendingWriter writer{file};
        EXPECT_TRUE(ApplyFileChange(file, batchSettings(c.boxes), std::ref(writer)));
        EXPECT_EQ(ReadFileAttributeData(file)->attributes, c.after);
        EXPECT_EQ((statOf(file).st_mode & 0222) == 0, bool(c.after & kReadOnly));
        ::chmod(file.c_str(), 0644);
        fs::remove(file);
    }
}

TEST(FileChange, BatchTimesStartFromTheFilesOwnTimes)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    testing::TimeZoneGuard zone("Europe/Berlin");
    const auto file = dir.file("deck.ppt");
    const timespec lastAccess{1'236'188'710, 987'654'321}, lastWrite{1'236'100'000, 123'456'789};
    const convert::DateTime creation = at(2009, 3, 4, 17, 45, 10, 250);
    const auto prepare = [&] {
        testing::setAccessAndWriteTimes(file, lastAccess, lastWrite);
        ASSERT_TRUE(storeCreationTime(file, convert::DateTimeToUtcFileTime(creation)));
    };
    const auto cutToMs = [](timespec instant) { return fileTimeOf(instant) / 10'000 * 10'000; };

    // No source: the three times are written back as they were, cut to whole milliseconds,
    // undoing the write's change of the last-write time.
    prepare();
    AppendingWriter writer{file};
    ASSERT_TRUE(ApplyFileChange(file, batchSettings(), std::ref(writer)));
    auto after = ReadFileAttributeData(file);
    EXPECT_EQ(after->lastWriteTime, cutToMs(lastWrite));
    EXPECT_EQ(after->lastAccessTime, cutToMs(lastAccess));
    EXPECT_EQ(after->creationTime, convert::DateTimeToUtcFileTime(creation));

    const struct {
        const char* name;
        FileTimeSources creationSources;
        convert::DateTime expected;
    } cases[] = {
        {"date only", {at(2001, 1, 1), std::nullopt}, at(2001, 1, 1, 17, 45, 10, 250)},
        {"time only", {std::nullopt, at(1899, 12, 30, 8, 0, 0)}, at(2009, 3, 4, 8, 0, 0)},
        {"both", {at(2001, 1, 1, 23, 0, 0), at(2020, 2, 2, 8, 0, 0)}, at(2001, 1, 1, 8, 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prepare();
        FileChangeSettings settings = batchSettings();
        settings.creation = c.creationSources;
        ASSERT_TRUE(ApplyFileChange(file, settings, std::ref(writer)));
        after = ReadFileAttributeData(file);
        EXPECT_EQ(convert::FileTimeToDateTime(after->creationTime), c.expected);
        EXPECT_EQ(after->lastWriteTime, cutToMs(lastWrite));
        EXPECT_EQ(after->lastAccessTime, cutToMs(lastAccess));
    }
}

TEST(FileChange, SingleChangeSetsEveryTimeFromItsPickers)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const auto file = dir.file("deck.ppt");
    FileChangeSettings settings;
    settings.creation = {at(2009, 1, 2, 23, 0, 0), at(2000, 6, 6, 13, 45, 0)};
    settings.lastWrite = {at(2010, 2, 3), at(1999, 1, 1, 1, 2, 3)};
    settings.lastAccess = {at(2011, 3, 4), at(1999, 1, 1, 4, 5, 6)};
    AppendingWriter writer{file};
    ASSERT_TRUE(ApplyFileChange(file, settings, std::ref(writer)));
    const auto after = ReadFileAttributeData(file);
    EXPECT_EQ(convert::FileTimeToDateTime(after->creationTime), at(2009, 1, 2, 13, 45, 0));
    EXPECT_EQ(convert::FileTimeToDateTime(after->lastWriteTime), at(2010, 2, 3, 1, 2, 3));
    EXPECT_EQ(convert::FileTimeToDateTime(after->lastAccessTime), at(2011, 3, 4, 4, 5, 6));
}

TEST(FileChangeFault, FailedOrThrowingWriterPutsTheWordBack)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const AttributeWord word = kReadOnly | kHidden | 0x2000;
    const auto file = dir.file("deck.ppt");
    testing::setAccessAndWriteTimes(file, {1'000'000'000, 0}, {1'000'000'000, 0});
    ASSERT_TRUE(writeAttributeWord(file, word));
    FileChangeSettings settings = batchSettings({U, C, U, C});  // must not be applied
    settings.creation.date = at(2001, 1, 1);

    bool sawWritable = false;
    EXPECT_FALSE(ApplyFileChange(file, settings, [&] {
        sawWritable = !(readAttributeState(file)->word & kReadOnly);
        return false;
    }));
    EXPECT_TRUE(sawWritable) << "the writer must run with read-only cleared";
    EXPECT_EQ(ReadFileAttributeData(file)->attributes, word);
    EXPECT_EQ(statOf(file).st_mode & 0222, 0u);

    EXPECT_THROW(ApplyFileChange(file, settings, []() -> bool { throw Error("'x' is not a valid date and time"); }),
                 Error);
    EXPECT_EQ(ReadFileAttributeData(file)->attributes, word);
    EXPECT_EQ(statOf(file).st_mode & 0222, 0u);
    EXPECT_EQ(statOf(file).st_mtim.tv_sec, 1'000'000'000) << "times are not set after a failed write";
}

TEST(FileChangeFault, EachFailureGivesTheReasonMadeWhereItArose)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    fs::create_directory(dir.path() / "folder.ppt");
    const Failure refusal(FailureKind::NoSpace, "no space left on the device");
    const struct {
        fs::path path;
        Failure writerResult;
        int expectedCalls;
        FailureKind kind;
        std::string reason;
    } cases[] = {
        {dir.path() / "missing.ppt", {}, 0, FailureKind::NotFound, "no such file"},
        {dir.path() / "folder.ppt", {}, 0, FailureKind::NotRegularFile, "not a regular file"},
        {dir.file("deck.ppt"), refusal, 1, refusal.kind(), refusal.text()},  // the writer's own, unchanged
        {dir.file("good.ppt"), {}, 1, FailureKind::None, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.filename().string());
        int calls = 0;
        const Failure failure = runFileChange(c.path, batchSettings(), [&] { return ++calls, c.writerResult; });
        EXPECT_EQ(calls, c.expectedCalls);
        EXPECT_EQ(failure.kind(), c.kind);
        EXPECT_EQ(failure.text(), c.reason);
    }
}

TEST(FileChange, LockedFileStillGetsItsAttributes)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const auto file = dir.file("deck.ppt");
    testing::setAccessAndWriteTimes(file, {1'000'000'000, 0}, {1'000'000'000, 0});
    FileChangeSettings settings = batchSettings({C, C, G, G});
    settings.lastAccess.date = at(2001, 1, 1);
    testing::LockHoldingChild holder(file, false);
    ASSERT_TRUE(holder.holding());
    AppendingWriter writer{file};
    EXPECT_TRUE(ApplyFileChange(file, settings, std::ref(writer))) << "the time setting is not looked at";
    EXPECT_EQ(ReadFileAttributeData(file)->attributes, kReadOnly | kArchive);
    EXPECT_NE(statOf(file).st_atim.tv_sec, 978'307'200) << "times cannot be set while another process holds the file";
}

TEST(FileChange, WithoutExtendedAttributesReadOnlyStillRoundTrips)
{
    const auto failure = testing::runOnFileSystemWithoutXattrs([](const fs::path& folder) -> std::string {
        const auto file = folder / "deck.ppt";
        if (!testing::createEmptyFile(file)) return "cannot create a file";
        if (!writeAttributeWord(file, kReadOnly)) return "read-only refused";
        AppendingWriter writer{file};
        if (!ApplyFileChange(file, batchSettings({G, G, C, G}), std::ref(writer))) return "change failed";
        if (writer.calls != 1) return "writer not called once";
        // Hidden cannot be kept here; read-only is back.
        if (ReadFileAttributeData(file)->attributes != kReadOnly) return "word is not read-only alone";
        return "";
    });
    if (!failure) GTEST_SKIP() << "cannot mount a file system without extended attributes here";
    EXPECT_EQ(*failure, "");
}

}  // namespace
}  // namespace quorvane::fileinfo
