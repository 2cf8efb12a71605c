// The change engine on copies of real .ppt and .pptx files: a single change writes every row,
// the times and the attribute boxes; a batch change writes only what is checked and leaves
// every other property, stream and entry as it was.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "change/change_engine.h"
#include "fileinfo/file_snapshot.h"
#include "document/custom_rows.h"
#include "document/document_rows.h"
#include "zip/zip_central_dir.h"
#include "zip/zip_entry_extract.h"
#include "tests/support/cfb_streams.h"
#include "tests/support/corpus.h"
#include "tests/support/environment_guard.h"

namespace quorvane::change {
namespace {

namespace fs = std::filesystem;
using fileinfo::BoxState;
using convert::DateTime;
using props::RowTexts;

DateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return convert::encodeDateTime({y, mo, d, h, mi, s, 0}).value();
}

const RowTexts kFullRows = {"Neuer Titel", "Thema", "Autorin", "k1; k2", "Kommentar", "Kategorie", "12",
                            "Bearbeiter", "Chefin", "Firma GmbH", "2009-03-04 17:45:10",
                            "2010-05-06 08:09:10", "90", "2011-07-08 23:00:00"};

// Every entry of a package except the two property parts, name and uncompressed bytes, in order.
std::vector<std::pair<std::string, std::vector<std::byte>>> otherEntries(const fs::path& package)
{
    std::vector<std::pair<std::string, std::vector<std::byte>>> entries;
    auto file = PosixFile::open(package.string(), OpenMode::ReadShared);
    if (!file) return entries;
    const auto directory = zip::ReadDirectory(*file);
    if (!directory) return entries;
    for (std::size_t i = 0; i < directory->entries.size(); ++i) {
        const std::string& name = directory->entries[i].name;
        if (name == "docProps/core.xml" || name == "docProps/app.xml") continue;
        entries.emplace_back(name, zip::readEntryData(*file, *directory, i).value_or(std::vector<std::byte>{}));
    }
    return entries;
}

testing::StreamMap streamsOf(const fs::path& compoundFile)
{
    auto file = PosixFile::open(compoundFile.string(), OpenMode::ReadShared);
    return file ? testing::readRootStreams(*file).value_or(testing::StreamMap{}) : testing::StreamMap{};
}

class ChangeEngine : public ::testing::Test {
protected:
    void SetUp() override { QUORVANE_REQUIRE_CORPUS(); }

    // A copy of a corpus file of the given kind whose rows read.
    fs::path copyOf(const std::string& name)
    {
        const fs::path copy = scratch_.copyOfCorpusFile(name);
        EXPECT_TRUE(document::readDocumentRows(copy.string())) << name;
        return copy;
    }

    testing::TimeZoneGuard zone_{"Europe/Berlin"};
    testing::TimeLocaleGuard locale_{"C"};
    testing::ScratchDir scratch_;
};

SingleChangeValues singleChange(const RowTexts& rows)
{
    SingleChangeValues values;
    values.rowValues = rows;
    values.datePickers = {at(2009, 3, 4, 1, 2, 3), at(2009, 1, 2), at(2012, 12, 12)};
    values.timePickers = {at(1999, 9, 9, 17, 45, 10), at(2000, 1, 1, 13, 45, 0), at(2000, 1, 1, 6, 7, 8)};
    return values;
}

TEST_F(ChangeEngine, SingleChangeWritesEveryRowAndTheComposedTimesInBothFormats)
{
    for (const char* name : {"42474-1.ppt", "SmartArt.pptx"}) {
        const fs::path file = copyOf(name);
        ASSERT_TRUE(ApplySingleChange(file.string(), singleChange(kFullRows))) << name;
        // The snapshot comes first: reading the rows afterwards touches the last-access time.
        const auto snapshot = fileinfo::ReadFileAttributeData(file.string());
        ASSERT_TRUE(snapshot);
        EXPECT_EQ(document::readDocumentRows(file.string()), kFullRows) << name;
        // The date part of the date picker with the time of day of the time picker, local time.
        EXPECT_EQ(snapshot->creationTime, convert::DateTimeToUtcFileTime(at(2009, 3, 4, 17, 45, 10))) << name;
        EXPECT_EQ(snapshot->lastWriteTime, convert::DateTimeToUtcFileTime(at(2009, 1, 2, 13, 45, 0))) << name;
        EXPECT_EQ(snapshot->lastAccessTime, convert::DateTimeToUtcFileTime(at(2012, 12, 12, 6, 7, 8))) << name;
    }
}

TEST_F(ChangeEngine, SingleChangeWithEmptyRowsEmptiesWhatEachFormatCanHoldEmpty)
{
    const RowTexts empty{};
    const fs::path ppt = copyOf("42474-1.ppt");
    ASSERT_TRUE(ApplySingleChange(ppt.string(), singleChange(kFullRows)));
    ASSERT_TRUE(ApplySingleChange(ppt.string(), singleChange(empty)));
    // A .ppt takes every row empty: empty strings, null dates, a null editing time.
    EXPECT_EQ(document::readDocumentRows(ppt.string()), empty);

    const fs::path pptx = copyOf("SmartArt.pptx");
    ASSERT_TRUE(ApplySingleChange(pptx.string(), singleChange(kFullRows)));
    ASSERT_TRUE(ApplySingleChange(pptx.string(), singleChange(empty)));
    // A package keeps its created and modified dates (it may not hold an empty date).
    RowTexts expectedPptx{};
    expectedPptx[props::kCreatedRow] = kFullRows[props::kCreatedRow];
    expectedPptx[props::kLastSavedRow] = kFullRows[props::kLastSavedRow];
    EXPECT_EQ(document::readDocumentRows(pptx.string()), expectedPptx);
}

TEST_F(ChangeEngine, BatchWithOnlyTitleCheckedLeavesEverythingElseAsItWas)
{
    BatchSettings batch;
    batch.rowValues = kFullRows;
    batch.rowChecks[0] = true;
    for (auto& time : batch.fileTimes) time.applyDate = time.applyTime = false;

    for (const char* name : {"42520.ppt", "SmartArt.pptx"}) {
        const fs::path file = copyOf(name);
        const RowTexts before = document::readDocumentRows(file.string()).value();
        const auto streamsBefore = streamsOf(file);
        const auto entriesBefore = otherEntries(file);
        const auto snapshotBefore = fileinfo::ReadFileAttributeData(file.string()).value();

        ASSERT_TRUE(ApplyBatchChangeToFile(file.string(), batch)) << name;

        RowTexts expected = before;
        expected[0] = kFullRows[0];
        EXPECT_EQ(document::readDocumentRows(file.string()), expected) << name;
        if (document::isPackagePath(file.string())) {
            EXPECT_EQ(otherEntries(file), entriesBefore) << name;
        } else {
            auto streamsAfter = streamsOf(file);
            ASSERT_FALSE(streamsAfter.empty());
            const std::u16string summary = u"\x05SummaryInformation";
            EXPECT_NE(streamsAfter[summary], streamsBefore.at(summary));
            streamsAfter[summary] = streamsBefore.at(summary);
            EXPECT_EQ(streamsAfter, streamsBefore) << name;
        }
        // No apply box: the file's own times are written back (to the millisecond).
        const auto snapshotAfter = fileinfo::ReadFileAttributeData(file.string()).value();
        EXPECT_EQ(snapshotAfter.lastWriteTime / 10'000, snapshotBefore.lastWriteTime / 10'000) << name;
        EXPECT_EQ(snapshotAfter.creationTime / 10'000, snapshotBefore.creationTime / 10'000) << name;
        EXPECT_EQ(snapshotAfter.attributes, snapshotBefore.attributes) << name;
    }
}

TEST_F(ChangeEngine, ReadOnlyFileWithReadOnlyGrayedIsWrittenAndEndsReadOnly)
{
    BatchSettings batch;
    batch.rowValues = kFullRows;
    batch.rowChecks.fill(true);
    // Pickers at day 0 (1899) would ask for times the file system cannot store.
    for (FileTimeSetting& time : batch.fileTimes) time.applyDate = time.applyTime = false;
    for (const char* name : {"42474-1.ppt", "SmartArt.pptx"}) {
        const fs::path file = copyOf(name);
        ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
        ASSERT_TRUE(ApplyBatchChangeToFile(file.string(), batch)) << name;
        EXPECT_EQ(document::readDocumentRows(file.string()), kFullRows) << name;
        struct stat info {};
        ASSERT_EQ(::stat(file.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0222, 0u) << name << " is writable again";
    }
}

TEST_F(ChangeEngine, BatchRemovesEveryCustomPropertyWithTheRowsAndKeepsTheRest)
{
    BatchSettings batch;
    batch.rowValues = kFullRows;
    batch.rowChecks[0] = true;
    batch.removeAllCustom = true;
    for (FileTimeSetting& time : batch.fileTimes) time.applyDate = time.applyTime = false;
    for (const char* name : {"45543.ppt", "60810.pptx"}) {
        const fs::path file = copyOf(name);
        ASSERT_FALSE(document::readCustomRows(file.string())->empty()) << name;
        const RowTexts before = document::readDocumentRows(file.string()).value();
        ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
        const auto snapshotBefore = fileinfo::ReadFileAttributeData(file.string()).value();

        ASSERT_EQ(changeFileInBatch(file.string(), batch), Failure{}) << name;
        const auto snapshotAfter = fileinfo::ReadFileAttributeData(file.string()).value();
        RowTexts expected = before;
        expected[0] = kFullRows[0];
        EXPECT_EQ(document::readDocumentRows(file.string()), expected) << name;
        const auto custom = document::readCustomRows(file.string());
        ASSERT_TRUE(custom.ok()) << custom.failure().text();
        EXPECT_TRUE(custom->empty()) << name;
        EXPECT_EQ(snapshotAfter.lastWriteTime, snapshotBefore.lastWriteTime) << name;
        EXPECT_EQ(snapshotAfter.attributes, snapshotBefore.attributes) << name << ": still read-only";
    }
}

TEST_F(ChangeEngine, BatchTimesReplaceOnlyThePartsWhoseBoxesAreChecked)
{
    const fs::path file = copyOf("42474-1.ppt");
    BatchSettings batch;
    batch.fileTimes[kCreationTime] = {true, false, at(2009, 3, 4, 1, 1, 1), at(2001, 1, 1, 2, 2, 2)};
    batch.fileTimes[kModifyTime] = {false, true, at(2009, 3, 4, 1, 1, 1), at(2001, 1, 1, 17, 45, 10)};
    batch.fileTimes[kLastAccessTime] = {true, true, at(2009, 3, 4, 1, 1, 1), at(2001, 1, 1, 17, 45, 10)};
    ASSERT_TRUE(BatchHasWork(batch));

    // Give the file known times first, through a single change.
    SingleChangeValues known = singleChange(document::readDocumentRows(file.string()).value());
    known.datePickers = {at(2015, 6, 7), at(2015, 6, 7), at(2015, 6, 7)};
    known.timePickers = {at(2000, 1, 1, 8, 30, 0), at(2000, 1, 1, 8, 30, 0), at(2000, 1, 1, 8, 30, 0)};
    ASSERT_TRUE(ApplySingleChange(file.string(), known));

    ASSERT_TRUE(ApplyBatchChangeToFile(file.string(), batch));
    const auto snapshot = fileinfo::ReadFileAttributeData(file.string()).value();
    EXPECT_EQ(snapshot.creationTime, convert::DateTimeToUtcFileTime(at(2009, 3, 4, 8, 30, 0)));
    EXPECT_EQ(snapshot.lastWriteTime, convert::DateTimeToUtcFileTime(at(2015, 6, 7, 17, 45, 10)));
    EXPECT_EQ(snapshot.lastAccessTime, convert::DateTimeToUtcFileTime(at(2009, 3, 4, 17, 45, 10)));
}

TEST(BatchHasWork, AnyApplyBoxAttributeBoxRowOrCustomRemovalGivesWork)
{
    BatchSettings nothing;
    for (auto& time : nothing.fileTimes) time.applyDate = time.applyTime = false;
    EXPECT_FALSE(BatchHasWork(nothing));

    BatchSettings applyBox = nothing;
    applyBox.fileTimes[kLastAccessTime].applyTime = true;
    EXPECT_TRUE(BatchHasWork(applyBox));

    BatchSettings attribute = nothing;
    attribute.attributes.system = BoxState::Unchecked;
    EXPECT_TRUE(BatchHasWork(attribute));

    BatchSettings row = nothing;
    row.rowChecks[props::kLastPrintedRow] = true;
    EXPECT_TRUE(BatchHasWork(row));

    BatchSettings removeAllCustom = nothing;
    removeAllCustom.removeAllCustom = true;
    EXPECT_TRUE(BatchHasWork(removeAllCustom));

    // Values without check marks are no work.
    BatchSettings valuesOnly = nothing;
    valuesOnly.rowValues[0] = "Title";
    EXPECT_FALSE(BatchHasWork(valuesOnly));
}

TEST_F(ChangeEngine, EachFailureGivesItsReasonAndTouchesNothing)
{
    BatchSettings batch;
    batch.rowChecks.fill(true);
    fs::create_directory(scratch_.path() / "folder.ppt");
    const fs::path notZip = scratch_.path() / "not-a-zip.pptx";
    testing::writeFileBytes(notZip, "this is no archive");
    const fs::path notCompound = scratch_.path() / "text.ppt";
    testing::writeFileBytes(notCompound, "this is no compound file");
    const struct {
        fs::path path;
        std::string reasonStart;
    } cases[] = {
        {scratch_.path() / "gone.ppt", "no such file"},
        {scratch_.path() / "folder.ppt", "not a regular file"},
        {notZip, "not a ZIP archive"},
        {notCompound, "damaged compound file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.filename().string());
        const std::string before = testing::readFileBytes(c.path);
        for (const Failure& failure : {changeFileInBatch(c.path.string(), batch),
                                       changeSingleFile(c.path.string(), SingleChangeValues{})})
            EXPECT_TRUE(failure.text().starts_with(c.reasonStart)) << failure.text();
        EXPECT_EQ(testing::readFileBytes(c.path), before);
    }
}

}  // namespace
}  // namespace quorvane::change
