// SPDX-License-Identifier: Apache-2.0
// The file change sequence with an in-place writer that appends bytes and with the real content
// writers: a read-only file let write through its final metadata and read-only again, the
// attribute boxes, the batch time composition, and every failure path giving the file its
// attribute word back.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <span>
#include <string_view>

#include "base/change_scope.h"
#include "base/error.h"
#include "document/document_edit.h"
#include "fileinfo/attribute_store.h"
#include "fileinfo/file_change.h"
#include "fileinfo/file_snapshot.h"
#include "fileinfo/snapshot_display.h"
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

// A stand-in for the property writers: writes in place as ours do (openForChange with the final
// metadata, so a read-only file is let write only for the moment of its open), appending bytes
// and so changing the contents and the last-write time.
struct AppendingWriter {
    fs::path file;
    int calls = 0;
    Failure operator()(const FinalMetadata& final)
    {
        ++calls;
        return writeFileInPlace(file, &final, [](RandomAccessFile& opened) {
            const std::string_view added = "+changed";
            const auto length = opened.size();
            if (!length || !opened.writeAt(*length, std::as_bytes(std::span(added))))
                return Failure(FailureKind::Io, "append failed");
            return Failure();
        });
    }
};

// The real content writer of the change path: the file opened once for the change with the
// final metadata, `content` prepared and committed in one write.
std::function<Failure(const FinalMetadata&)> contentWriter(const fs::path& file, const document::ContentRequest& content)
{
    return [file, content](const FinalMetadata& final) {
        auto edit = document::DocumentEdit::open(file.string(), true, &final);
        if (!edit.ok()) return edit.failure();
        if (auto changes = edit->prepare(content); !changes.ok()) return changes.failure();
        return edit->commit(&final);
    };
}

document::ContentRequest titleRequest(const std::string& title)
{
    document::ContentRequest content;
    content.rows[0] = props::RowValue::textValue(title);
    return content;
}

// The title as the display reads it; "(unreadable)" when the file cannot be read.
std::string titleOf(const fs::path& file)
{
    auto edit = document::DocumentEdit::open(file.string(), false, nullptr);
    if (!edit.ok()) return "(unreadable)";
    const auto rows = edit->rows();
    return rows.ok() ? (*rows)[0] : "(unreadable)";
}

// The sequence's reason; "" when it succeeded.
std::string reasonOf(const Failure& failure) { return failure.failed() ? failure.text() : ""; }

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
        EXPECT_EQ(reasonOf(runFileChange(file, batchSettings(), std::ref(writer))), "");
        EXPECT_EQ(writer.calls, 1);
        EXPECT_EQ(testing::readFileBytes(file), "content+changed");
        EXPECT_EQ(ReadFileAttributeData(file)->attributes, word);
        EXPECT_EQ(statOf(file).st_mode & 0222, 0u);
        ::chmod(file.c_str(), 0644);
    }
}

// The same with the real compound-document writer on a copy of a real .ppt file, and its two
// ways to fail: a file it cannot open (not a compound file) and a value it cannot store.
TEST(FileChange, RealPptWriterOnReadOnlyFiles)
{
    QUORVANE_REQUIRE_CORPUS();
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const fs::path deck = dir.path() / "deck.ppt";
    fs::copy_file(testing::corpusDir() / "files" / "38256.ppt", deck);
    const AttributeWord word = kReadOnly | kHidden | 0x2000;
    ASSERT_TRUE(writeAttributeWord(deck, word));

    EXPECT_EQ(reasonOf(runFileChange(deck, batchSettings(), contentWriter(deck, titleRequest("Changed by the sequence")))), "");
    EXPECT_EQ(titleOf(deck), "Changed by the sequence");
    EXPECT_EQ(ReadFileAttributeData(deck)->attributes, word);

    // 10000-01-01 00:00 UTC: no FILETIME of a .ppt holds it.
    document::ContentRequest lateDate = titleRequest("Not stored");
    lateDate.rows[props::kLastPrintedRow] = props::RowValue::instantValue(253'402'300'800'000);
    const std::string bytesBefore = testing::readFileBytes(deck);
    EXPECT_EQ(reasonOf(runFileChange(deck, batchSettings(), contentWriter(deck, lateDate))), 
              "Last Printed cannot be stored: a date must lie from 1601-01-01 00:00:01 to 9999-12-31 23:59:59 UTC");
    EXPECT_EQ(testing::readFileBytes(deck), bytesBefore);
    EXPECT_EQ(ReadFileAttributeData(deck)->attributes, word);
    EXPECT_EQ(statOf(deck).st_mode & 0222, 0u);

    const auto notCompound = dir.file("text.ppt", "not a compound file");
    ASSERT_TRUE(writeAttributeWord(notCompound, word));
    EXPECT_TRUE(reasonOf(runFileChange(notCompound, batchSettings(), contentWriter(notCompound, titleRequest("x"))))
                    .starts_with("not a presentation: "));
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

    EXPECT_EQ(reasonOf(runFileChange(deck, batchSettings(), contentWriter(deck, titleRequest("Changed by the sequence")))), "");
    EXPECT_NE(statOf(deck).st_ino, inodeBefore) << "expected a rewrite, not an edit in place";
    const auto after = ReadFileAttributeData(deck);  // before the read below moves the access time
    EXPECT_EQ(after->attributes, word);
    EXPECT_EQ(after->creationTime, fileTimeOf({1'200'000'000, 125'000'000}));
    EXPECT_EQ(after->lastWriteTime, fileTimeOf(lastWrite));
    EXPECT_EQ(after->lastAccessTime, fileTimeOf(lastAccess));
    EXPECT_EQ(statOf(deck).st_mode & 0222, 0u);
    EXPECT_EQ(titleOf(deck), "Changed by the sequence");
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
        EXPECT_EQ(reasonOf(runFileChange(file, batchSettings(c.boxes), std::ref(writer))), "");
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
    const auto sameInstant = [](const timespec& a, const timespec& b) {
        return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
    };

    // No source: the three times are written back exactly, undoing the write's change of the
    // last-write time.
    prepare();
    AppendingWriter writer{file};
    ASSERT_EQ(reasonOf(runFileChange(file, batchSettings(), std::ref(writer))), "");
    auto after = ReadFileAttributeData(file);
    EXPECT_TRUE(sameInstant(after->exactLastWrite, lastWrite));
    EXPECT_TRUE(sameInstant(after->exactLastAccess, lastAccess));
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
        ASSERT_EQ(reasonOf(runFileChange(file, settings, std::ref(writer))), "");
        after = ReadFileAttributeData(file);
        EXPECT_EQ(convert::FileTimeToDateTime(after->creationTime), c.expected);
        EXPECT_TRUE(sameInstant(after->exactLastWrite, lastWrite));
        EXPECT_TRUE(sameInstant(after->exactLastAccess, lastAccess));
    }
}

timespec utcInstant(int year, int month, int day, int hour, int minute, long nanoseconds = 0)
{
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    return timespec{timegm(&fields), nanoseconds};
}

// A changed local time that occurs twice keeps the offset of the time it replaces; one that
// does not occur moves forward. Changing the date alone keeps the time of day to the nanosecond.
TEST(FileChange, ChangedTimesInTheRepeatedAndSkippedHour)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    constexpr long kNs = 987'654'321;
    const auto time = [](int hour, int minute) { return FileTimeSources{std::nullopt, at(1899, 12, 30, hour, minute)}; };
    const auto date = [](int year, int month, int day) { return FileTimeSources{at(year, month, day), std::nullopt}; };
    const struct {
        const char* zone;
        const char* name;
        timespec own;
        FileTimeSources sources;
        timespec expected;
    } cases[] = {
        // Berlin leaves summer time on 2023-10-29 at 01:00 UTC (03:00 CEST becomes 02:00 CET).
        {"Europe/Berlin", "02:30 CEST to 02:45", utcInstant(2023, 10, 29, 0, 30, kNs), time(2, 45), utcInstant(2023, 10, 29, 0, 45)},
        {"Europe/Berlin", "02:30 CET to 02:45", utcInstant(2023, 10, 29, 1, 30, kNs), time(2, 45), utcInstant(2023, 10, 29, 1, 45)},
        {"Europe/Berlin", "summer date to the repeated hour", utcInstant(2023, 7, 1, 0, 30, kNs), date(2023, 10, 29), utcInstant(2023, 10, 29, 0, 30, kNs)},
        {"Europe/Berlin", "winter date to the repeated hour", utcInstant(2023, 12, 1, 1, 30, kNs), date(2023, 10, 29), utcInstant(2023, 10, 29, 1, 30, kNs)},
        // 2023-03-26 skips from 02:00 CET to 03:00 CEST: 02:30 becomes 03:30 CEST.
        {"Europe/Berlin", "into the skipped hour", utcInstant(2023, 3, 25, 1, 30, kNs), date(2023, 3, 26), utcInstant(2023, 3, 26, 1, 30, kNs)},
        // New York: 2023-11-05 02:00 EDT becomes 01:00 EST at 06:00 UTC; 2023-03-12 skips 02:00 to 03:00 EST->EDT.
        {"America/New_York", "01:30 EDT to 01:10", utcInstant(2023, 11, 5, 5, 30, kNs), time(1, 10), utcInstant(2023, 11, 5, 5, 10)},
        {"America/New_York", "01:30 EST to 01:10", utcInstant(2023, 11, 5, 6, 30, kNs), time(1, 10), utcInstant(2023, 11, 5, 6, 10)},
        {"America/New_York", "into the skipped hour", utcInstant(2023, 3, 11, 7, 30, kNs), date(2023, 3, 12), utcInstant(2023, 3, 12, 7, 30, kNs)},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.zone << ": " << c.name);
        testing::TimeZoneGuard zone(c.zone);
        const auto file = dir.file("deck" + std::to_string(index++) + ".ppt");
        testing::setAccessAndWriteTimes(file, c.own, c.own);
        ASSERT_TRUE(storeCreationTime(file, fileTimeOf(c.own)));
        const FileChangeSettings settings{c.sources, c.sources, c.sources, {}};
        AppendingWriter writer{file};
        ASSERT_EQ(reasonOf(runFileChange(file, settings, std::ref(writer))), "");
        const struct stat info = statOf(file);
        EXPECT_EQ(info.st_mtim.tv_sec, c.expected.tv_sec);
        EXPECT_EQ(info.st_mtim.tv_nsec, c.expected.tv_nsec);
        EXPECT_EQ(info.st_atim.tv_sec, c.expected.tv_sec);
        EXPECT_EQ(info.st_atim.tv_nsec, c.expected.tv_nsec);
        EXPECT_EQ(ReadFileAttributeData(file)->creationTime, fileTimeOf(c.expected));
    }
}

// A title-only change (no time source) and a single change whose pickers still show the file's
// times give every time back exactly, in the repeated hour too, and store no creation time
// where the file system reports the right one.
TEST(FileChange, UnchangedTimesComeBackExactlyWithEveryWriter)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    testing::TimeZoneGuard zone("Europe/Berlin");
    // 02:30:07 CEST and 02:30:07 CET on the day summer time ends.
    const timespec lastWrite = utcInstant(2023, 10, 29, 0, 30, 987'654'321);
    const timespec lastAccess = utcInstant(2023, 10, 29, 1, 30, 123'456'789);
    const struct {
        const char* name;
        const char* corpusFile;  // "" for a plain file and the appending writer
    } writers[] = {{"appending", ""}, {"compound document", "38256.ppt"}, {"package rewrite", "51187.pptx"}};
    for (const auto& writer : writers) {
        if (*writer.corpusFile && testing::corpusDir().empty()) continue;  // the plain file still runs
        for (const bool shownPickers : {false, true}) {
            SCOPED_TRACE(::testing::Message() << writer.name << (shownPickers ? ", single change" : ", batch"));
            const fs::path file = dir.path() / (std::string("deck") + (*writer.corpusFile ? writer.corpusFile : ".ppt"));
            fs::remove(file);
            if (*writer.corpusFile) fs::copy_file(testing::corpusDir() / "files" / writer.corpusFile, file);
            else testing::writeFileBytes(file, "content");
            testing::setAccessAndWriteTimes(file, lastAccess, lastWrite);
            const auto before = ReadFileAttributeData(file).value();
            const ino_t inodeBefore = statOf(file).st_ino;
            ASSERT_FALSE(testing::rawDosAttrib(file).has_value());

            FileChangeSettings settings = batchSettings();
            if (shownPickers) {
                const auto shown = [](convert::FileTime own) {
                    const convert::DateTime picker = pickerValueOf(convert::FileTimeToDateTime(own));
                    return FileTimeSources{picker, picker, true};
                };
                settings = {shown(before.creationTime), shown(before.lastWriteTime), shown(before.lastAccessTime), {}};
            }
            const auto write = *writer.corpusFile ? contentWriter(file, titleRequest("Changed title"))
                                                  : std::function<Failure(const FinalMetadata&)>(AppendingWriter{file});
            ASSERT_EQ(reasonOf(runFileChange(file, settings, write)), "");
            const auto after = ReadFileAttributeData(file).value();
            EXPECT_EQ(after.exactLastWrite.tv_sec, lastWrite.tv_sec);
            EXPECT_EQ(after.exactLastWrite.tv_nsec, lastWrite.tv_nsec);
            EXPECT_EQ(after.exactLastAccess.tv_sec, lastAccess.tv_sec);
            EXPECT_EQ(after.exactLastAccess.tv_nsec, lastAccess.tv_nsec);
            EXPECT_EQ(after.creationTime, before.creationTime);
            // Edited in place, the file reports its own creation time: nothing to store.
            if (statOf(file).st_ino == inodeBefore) {
                EXPECT_FALSE(testing::rawDosAttrib(file).has_value());
            }
        }
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
    ASSERT_EQ(reasonOf(runFileChange(file, settings, std::ref(writer))), "");
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

    bool sawReadOnlyLetWrite = false;
    const Failure refusal(FailureKind::Io, "refused by the writer");
    EXPECT_EQ(runFileChange(file, settings, [&](const FinalMetadata& final) {
        const bool readOnly = (statOf(file).st_mode & 0222) == 0;
        const bool opened = openForChange(file, &final).ok();
        sawReadOnlyLetWrite = readOnly && opened && (statOf(file).st_mode & 0222) == 0;
        return refusal;
    }), refusal);
    EXPECT_TRUE(sawReadOnlyLetWrite) << "the writer runs on the file still read-only, let open by its final metadata";
    EXPECT_EQ(ReadFileAttributeData(file)->attributes, word);
    EXPECT_EQ(statOf(file).st_mode & 0222, 0u);

    EXPECT_THROW(runFileChange(file, settings, [](const FinalMetadata&) -> Failure { throw Error("'x' is not a valid date and time"); }),
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
        const Failure failure = runFileChange(c.path, batchSettings(), [&](const FinalMetadata&) { return ++calls, c.writerResult; });
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
    // A writer that takes no lock (ours would find the file in use) and finds nothing to write.
    const auto writesNothing = [](const FinalMetadata&) { return Failure(); };
    EXPECT_EQ(reasonOf(runFileChange(file, settings, writesNothing)), "") << "the times are not looked at";
    EXPECT_EQ(ReadFileAttributeData(file)->attributes, kReadOnly | kArchive);
}

TEST(FileChange, WithoutExtendedAttributesReadOnlyStillRoundTrips)
{
    const auto failure = testing::runOnFileSystemWithoutXattrs([](const fs::path& folder) -> std::string {
        const auto file = folder / "deck.ppt";
        if (!testing::createEmptyFile(file)) return "cannot create a file";
        if (!writeAttributeWord(file, kReadOnly)) return "read-only refused";
        AppendingWriter writer{file};
        if (const Failure failure = runFileChange(file, batchSettings({G, G, C, G}), std::ref(writer)); failure.failed())
            return "change failed: " + failure.text();
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
