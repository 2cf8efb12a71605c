// SPDX-License-Identifier: Apache-2.0
// The change path on copies of real .ppt and .pptx files: a single change writes every row, the
// times and the attribute boxes; a batch change writes only what is checked and leaves every
// other property, stream and entry as it was; a file is changed all or not at all, a request
// that changes nothing writes nothing, and the plan says what the apply does.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <functional>
#include <optional>

#include "change/change_engine.h"
#include "change/file_plan.h"
#include "fileinfo/backup.h"
#include "fileinfo/file_snapshot.h"
#include "zip/zip_central_dir.h"
#include "zip/zip_entry_extract.h"
#include "tests/support/cfb_streams.h"
#include "tests/support/corpus.h"
#include "tests/support/environment_guard.h"
#include "tests/support/fileinfo_fixtures.h"

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

// 10000-01-01 00:00 UTC in milliseconds since 1970: no property of either format holds it.
constexpr std::int64_t kYear10000Ms = 253'402'300'800'000;

FileRequest titled(const std::string& title)
{
    FileRequest request;
    request.content.rows[0] = props::RowValue::textValue(title);
    return request;
}

props::CustomEdit reviewerAna()
{
    props::CustomEdit edit{props::CustomEdit::Kind::Set, "Reviewer", {}};
    edit.value.text = "Ana";
    return edit;
}

// The rows and custom properties as the display reads them, through the one open of a file;
// nullopt when they cannot be read.
std::optional<RowTexts> rowsOf(const fs::path& file)
{
    auto edit = document::DocumentEdit::open(file.string(), false, nullptr);
    auto rows = edit.ok() ? edit->rows() : Result<RowTexts>(edit.failure());
    return rows.ok() ? std::optional(std::move(rows).value()) : std::nullopt;
}

std::optional<std::vector<props::CustomProperty>> customOf(const fs::path& file)
{
    auto edit = document::DocumentEdit::open(file.string(), false, nullptr);
    auto custom = edit.ok() ? edit->customProperties() : Result<std::vector<props::CustomProperty>>(edit.failure());
    return custom.ok() ? std::optional(std::move(custom).value()) : std::nullopt;
}

bool isPackage(const fs::path& file) { return file.extension() == ".pptx"; }

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

std::string corePart(const fs::path& package)
{
    auto file = PosixFile::open(package.string(), OpenMode::ReadShared);
    const auto directory = file ? zip::ReadDirectory(*file) : std::nullopt;
    const auto index = directory ? zip::findEntry(*directory, "docProps/core.xml") : std::nullopt;
    if (!index) return {};
    const auto bytes = zip::readEntryData(*file, *directory, *index).value_or(std::vector<std::byte>{});
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

testing::StreamMap streamsOf(const fs::path& compoundFile)
{
    auto file = PosixFile::open(compoundFile.string(), OpenMode::ReadShared);
    return file ? testing::readRootStreams(*file).value_or(testing::StreamMap{}) : testing::StreamMap{};
}

class ChangeEngine : public ::testing::Test {
protected:
    void SetUp() override { QUORVANE_REQUIRE_CORPUS(); }

    // A copy of a corpus file whose rows read.
    fs::path copyOf(const std::string& name)
    {
        const fs::path copy = scratch_.copyOfCorpusFile(name);
        EXPECT_TRUE(rowsOf(copy).has_value()) << name;
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

// Applies a request that its builder made; the outcome's reason, "" when the file was changed.
std::string applied(const fs::path& file, const Result<FileRequest>& request)
{
    if (!request.ok()) return "request: " + request.failure().text();
    const FileOutcome outcome = applyFileChange(file.string(), *request, {});
    return outcome.kind == FileOutcome::Kind::Changed ? "" : outcome.failed() ? outcome.failure.text() : "unchanged";
}

std::string appliedSingle(const fs::path& file, const SingleChangeValues& values)
{
    return applied(file, singleChangeRequest(values.rowValues, props::kAllRows, values.datePickers, values.timePickers, values.attributes));
}

TEST_F(ChangeEngine, SingleChangeWritesEveryRowAndTheComposedTimesInBothFormats)
{
    for (const char* name : {"42474-1.ppt", "SmartArt.pptx"}) {
        const fs::path file = copyOf(name);
        ASSERT_EQ(appliedSingle(file, singleChange(kFullRows)), "") << name;
        // The snapshot comes first: reading the rows afterwards touches the last-access time.
        const auto snapshot = fileinfo::ReadFileAttributeData(file.string());
        ASSERT_TRUE(snapshot);
        EXPECT_EQ(rowsOf(file).value_or(RowTexts{}), kFullRows) << name;
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
    ASSERT_EQ(appliedSingle(ppt, singleChange(kFullRows)), "");
    ASSERT_EQ(appliedSingle(ppt, singleChange(empty)), "");
    // A .ppt takes every row empty: empty strings, null dates, a null editing time.
    EXPECT_EQ(rowsOf(ppt).value_or(kFullRows), empty);

    const fs::path pptx = copyOf("SmartArt.pptx");
    ASSERT_EQ(appliedSingle(pptx, singleChange(kFullRows)), "");
    ASSERT_EQ(appliedSingle(pptx, singleChange(empty)), "");
    // A package keeps its created and modified dates (it may not hold an empty date).
    RowTexts expectedPptx{};
    expectedPptx[props::kCreatedRow] = kFullRows[props::kCreatedRow];
    expectedPptx[props::kLastSavedRow] = kFullRows[props::kLastSavedRow];
    EXPECT_EQ(rowsOf(pptx).value_or(RowTexts{}), expectedPptx);
}

TEST_F(ChangeEngine, BatchWithOnlyTitleCheckedLeavesEverythingElseAsItWas)
{
    BatchSettings batch;
    batch.rowValues = kFullRows;
    batch.rowChecks[0] = true;
    for (auto& time : batch.fileTimes) time.applyDate = time.applyTime = false;

    for (const char* name : {"42520.ppt", "SmartArt.pptx"}) {
        const fs::path file = copyOf(name);
        const RowTexts before = rowsOf(file).value();
        const auto streamsBefore = streamsOf(file);
        const auto entriesBefore = otherEntries(file);
        const auto snapshotBefore = fileinfo::ReadFileAttributeData(file.string()).value();

        ASSERT_EQ(applied(file, batchRequest(batch)), "") << name;

        RowTexts expected = before;
        expected[0] = kFullRows[0];
        EXPECT_EQ(rowsOf(file).value_or(RowTexts{}), expected) << name;
        if (isPackage(file)) {
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

// Checked rows that are empty where the file has no such property, or that hold the stored text,
// change no value: the window's batch and single change leave the file byte for byte and time for
// time as it was.
TEST_F(ChangeEngine, EmptyRowsForAbsentPropertiesAndHeldValuesWriteNothing)
{
    constexpr std::size_t kCategory = 5, kManager = 8;
    for (const char* name : {"bug61881.ppt", "60810.pptx"}) {
        SCOPED_TRACE(name);
        const fs::path file = copyOf(name);
        const RowTexts before = rowsOf(file).value();
        ASSERT_EQ(before[kCategory], "");
        ASSERT_EQ(before[kManager], isPackage(file) ? "Chris Hoskins" : "");

        BatchSettings batch;
        batch.rowValues = before;
        batch.rowValues[kManager] = "";
        // A .ppt's title ends in a blank, which a write trims away: there the title is no held value.
        batch.rowChecks[kCategory] = true;
        batch.rowChecks[isPackage(file) ? 0 : kManager] = true;
        for (auto& time : batch.fileTimes) time.applyDate = time.applyTime = false;
        props::RowSelection edited{};
        edited[kCategory] = true;

        // Read first: this read may move the last-access time (relatime), the change's may not.
        const std::string bytes = testing::readFileBytes(file);
        const testing::FileTrace trace = testing::FileTrace::of(file);
        const auto single = singleChangeRequest(before, edited, {}, {}, {});
        ASSERT_TRUE(single.ok());
        FileRequest singleRowsOnly;
        singleRowsOnly.content = single->content;
        for (const auto& request : {batchRequest(batch).value(), singleRowsOnly}) {
            const FileOutcome outcome = applyFileChange(file.string(), request, {});
            EXPECT_EQ(outcome.kind, FileOutcome::Kind::Unchanged) << outcome.failure.text();
            EXPECT_TRUE(outcome.changes.empty());
        }
        EXPECT_EQ(testing::FileTrace::of(file), trace);
        EXPECT_EQ(testing::readFileBytes(file), bytes);

        // With a new title beside them, the empty rows still add no property: the .ppt's
        // DocumentSummaryInformation stays as it was, the package's core part gains no category.
        batch.rowValues[0] = "Neuer Titel";
        batch.rowChecks[0] = true;
        const auto streamsBefore = streamsOf(file);
        ASSERT_EQ(applied(file, batchRequest(batch)), "");
        EXPECT_EQ(rowsOf(file).value_or(RowTexts{})[0], "Neuer Titel");
        if (isPackage(file)) {
            EXPECT_EQ(corePart(file).find("category"), std::string::npos);
        } else {
            const std::u16string documentSummary = u"\x05" "DocumentSummaryInformation";
            EXPECT_EQ(streamsOf(file).at(documentSummary), streamsBefore.at(documentSummary));
        }
    }
}

// Read-only with its box grayed: written, read-only again, also with every custom property
// removed in the same commit.
TEST_F(ChangeEngine, ReadOnlyFileWithReadOnlyGrayedIsWrittenAndEndsReadOnly)
{
    BatchSettings batch;
    batch.rowValues = kFullRows;
    // Pickers at day 0 (1899) would ask for times the file system cannot store.
    for (FileTimeSetting& time : batch.fileTimes) time.applyDate = time.applyTime = false;
    const struct {
        const char* name;
        bool removeAllCustom;
    } cases[] = {{"42474-1.ppt", false}, {"SmartArt.pptx", false}, {"45543.ppt", true}, {"60810.pptx", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = copyOf(c.name);
        if (c.removeAllCustom) {
            ASSERT_FALSE(customOf(file).value_or(std::vector<props::CustomProperty>{}).empty());
        }
        batch.rowChecks.fill(!c.removeAllCustom);
        batch.rowChecks[0] = true;
        batch.removeAllCustom = c.removeAllCustom;
        RowTexts expected = rowsOf(file).value();
        for (int row = 0; row < props::kRowCount; ++row)
            if (batch.rowChecks[std::size_t(row)]) expected[std::size_t(row)] = kFullRows[std::size_t(row)];
        ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
        const auto snapshotBefore = fileinfo::ReadFileAttributeData(file.string()).value();

        ASSERT_EQ(applied(file, batchRequest(batch)), "");
        const auto snapshotAfter = fileinfo::ReadFileAttributeData(file.string()).value();
        EXPECT_EQ(rowsOf(file).value_or(RowTexts{}), expected);
        const auto custom = customOf(file);
        ASSERT_TRUE(custom.has_value());
        if (c.removeAllCustom) {
            EXPECT_TRUE(custom->empty());
        }
        EXPECT_EQ(snapshotAfter.lastWriteTime, snapshotBefore.lastWriteTime);
        EXPECT_EQ(snapshotAfter.attributes, snapshotBefore.attributes) << "still read-only";
        EXPECT_EQ(testing::statOf(file).st_mode & 0222, 0u) << "writable again";
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
    SingleChangeValues known = singleChange(rowsOf(file).value());
    known.datePickers = {at(2015, 6, 7), at(2015, 6, 7), at(2015, 6, 7)};
    known.timePickers = {at(2000, 1, 1, 8, 30, 0), at(2000, 1, 1, 8, 30, 0), at(2000, 1, 1, 8, 30, 0)};
    ASSERT_TRUE(ApplySingleChange(file.string(), known));

    ASSERT_TRUE(ApplyBatchChangeToFile(file.string(), batch));
    const auto snapshot = fileinfo::ReadFileAttributeData(file.string()).value();
    EXPECT_EQ(snapshot.creationTime, convert::DateTimeToUtcFileTime(at(2009, 3, 4, 8, 30, 0)));
    EXPECT_EQ(snapshot.lastWriteTime, convert::DateTimeToUtcFileTime(at(2015, 6, 7, 17, 45, 10)));
    EXPECT_EQ(snapshot.lastAccessTime, convert::DateTimeToUtcFileTime(at(2009, 3, 4, 17, 45, 10)));
}

// The window's test for work and the request's agree on every batch.
TEST(BatchHasWork, AnyApplyBoxAttributeBoxRowOrCustomRemovalGivesWork)
{
    BatchSettings nothing;
    for (auto& time : nothing.fileTimes) time.applyDate = time.applyTime = false;
    BatchSettings applyBox = nothing;
    applyBox.fileTimes[kLastAccessTime].applyTime = true;
    BatchSettings attribute = nothing;
    attribute.attributes.system = BoxState::Unchecked;
    BatchSettings row = nothing;
    row.rowChecks[props::kLastPrintedRow] = true;
    BatchSettings removeAllCustom = nothing;
    removeAllCustom.removeAllCustom = true;
    BatchSettings valuesOnly = nothing;  // values without check marks are no work
    valuesOnly.rowValues[0] = "Title";
    const struct {
        const char* name;
        const BatchSettings& settings;
        bool work;
    } cases[] = {{"nothing", nothing, false},     {"apply box", applyBox, true},
                 {"attribute", attribute, true},  {"row", row, true},
                 {"custom removal", removeAllCustom, true}, {"values only", valuesOnly, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BatchHasWork(c.settings), c.work);
        const auto request = batchRequest(c.settings);
        ASSERT_TRUE(request.ok()) << request.failure().text();
        EXPECT_EQ(requestHasWork(*request), c.work);
    }
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
        {notZip, "not a presentation: "},
        {notCompound, "not a presentation: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.filename().string());
        const std::string before = testing::readFileBytes(c.path);
        for (const std::string& reason : {applied(c.path, batchRequest(batch)), appliedSingle(c.path, SingleChangeValues{})})
            EXPECT_TRUE(reason.starts_with(c.reasonStart)) << reason;
        EXPECT_EQ(testing::readFileBytes(c.path), before);
    }

    // A row text that is no value of its row fails the request before any file is looked at.
    batch.rowValues[props::kCreatedRow] = "not a date";
    const auto refused = batchRequest(batch);
    EXPECT_EQ(refused.ok() ? FailureKind::None : refused.failure().kind(), FailureKind::Conversion);
}

// A request with one value the file cannot take is refused whole: the file stays byte for byte
// as it was, with its times and mode, no backup is made, and the plan gives the same refusal.
TEST_F(ChangeEngine, RefusedRequestLeavesTheFileAsItWasWithoutBackup)
{
    // West of UTC, so that a local time late on 9999-12-31 is in the year 10000 in UTC.
    testing::TimeZoneGuard zone("America/New_York");
    const struct {
        const char* name;
        std::function<FileRequest(bool package)> request;
    } cases[] = {
        // "é" is outside the code page (1251) of the .ppt; a package part holds no control character.
        {"title the file cannot hold, with a custom property",
         [&](bool package) {
             FileRequest request = titled(package ? "R\x01sum\xC3\xA9" : "R\xC3\xA9sum\xC3\xA9");
             request.content.custom.push_back(reviewerAna());
             return request;
         }},
        {"title with a creation time past 9999 in UTC",
         [&](bool) {
             FileRequest request = titled("Plain title");
             request.file.creation = {at(9999, 12, 31), at(1899, 12, 30, 23, 30, 0)};
             return request;
         }},
        {"title with a last printed date past 9999",
         [&](bool) {
             FileRequest request = titled("Plain title");
             request.content.rows[props::kLastPrintedRow] = props::RowValue::instantValue(kYear10000Ms);
             return request;
         }},
    };
    for (const char* name : {"42474-1.ppt", "SmartArt.pptx"}) {
        const fs::path file = copyOf(name);
        const std::string bytes = testing::readFileBytes(file);
        for (const auto& c : cases) {
            SCOPED_TRACE(::testing::Message() << name << ": " << c.name);
            const FileRequest request = c.request(isPackage(file));
            const testing::FileTrace trace = testing::FileTrace::of(file);  // after our last read
            const FilePlan plan = planFileChange(file.string(), request, {});
            const FileOutcome outcome = applyFileChange(file.string(), request, {.backup = true});
            EXPECT_TRUE(outcome.failed());
            EXPECT_EQ(outcome.failure.kind(), FailureKind::Conversion) << outcome.failure.text();
            EXPECT_NE(outcome.failure.text().find("cannot be stored"), std::string::npos) << outcome.failure.text();
            EXPECT_EQ(plan.refusal, outcome.failure) << plan.refusal.text();
            EXPECT_FALSE(outcome.partly);
            EXPECT_FALSE(fs::exists(fileinfo::backupNameOf(file.string())));
            EXPECT_EQ(testing::FileTrace::of(file), trace);
            EXPECT_EQ(testing::readFileBytes(file), bytes);
        }
    }
}

// An accepted request: the apply changes what the plan listed, the file then reads as the plan
// said, and the backup is made. The same request again changes no value: Unchanged, nothing
// written, no backup; a scrub of a scrubbed file too.
TEST_F(ChangeEngine, PlanListsWhatTheApplyChangesAndARepeatChangesNothing)
{
    FileRequest request = titled("Geplanter Titel");
    request.content.rows[props::kLastPrintedRow] = props::RowValue::instantValue(1'300'000'000'000);
    request.content.custom.push_back(reviewerAna());
    request.file.boxes.hidden = BoxState::Checked;
    request.file.lastWrite.date = at(2015, 6, 7);

    for (const char* name : {"42474-1.ppt", "SmartArt.pptx"}) {
        SCOPED_TRACE(name);
        const fs::path file = copyOf(name);
        const fs::path backup = fileinfo::backupNameOf(file.string());
        const RowTexts rowsBefore = rowsOf(file).value();
        const std::string bytesBefore = testing::readFileBytes(file);

        const FilePlan plan = planFileChange(file.string(), request, {});
        ASSERT_FALSE(plan.refused()) << plan.refusal.text();
        EXPECT_EQ(testing::readFileBytes(file), bytesBefore) << "a plan writes nothing";
        const FileOutcome outcome = applyFileChange(file.string(), request, {.backup = true});
        ASSERT_EQ(outcome.kind, FileOutcome::Kind::Changed) << outcome.failure.text();
        EXPECT_EQ(outcome.changes, plan.changes);
        EXPECT_EQ(testing::readFileBytes(backup), bytesBefore);

        // The rows that now read differently come first in the plan, from and to as read; then the
        // custom property, the last-write time and Hidden.
        const RowTexts rowsAfter = rowsOf(file).value();
        std::vector<document::ValueChange> rowChanges;
        for (int row = 0; row < props::kRowCount; ++row)
            if (rowsBefore[std::size_t(row)] != rowsAfter[std::size_t(row)])
                rowChanges.push_back({std::string(props::catalogueRow(row).name), std::string(props::catalogueRow(row).label),
                                      rowsBefore[std::size_t(row)], rowsAfter[std::size_t(row)]});
        ASSERT_EQ(plan.changes.size(), rowChanges.size() + 3);
        EXPECT_EQ(std::vector(plan.changes.begin(), plan.changes.end() - 3), rowChanges);
        EXPECT_EQ(plan.changes.end()[-3].name + " " + plan.changes.end()[-2].name + " " + plan.changes.end()[-1].name,
                  "custom:Reviewer modified hidden");
        EXPECT_EQ(rowChanges.size(), 2u);

        // The same request again, then a scrub twice: a repeat changes no value.
        const FileRequest scrub = scrubRequest({}, true);
        const struct {
            const char* name;
            const FileRequest& request;
            bool changes;
        } steps[] = {{"the change again", request, false}, {"a scrub", scrub, true}, {"the scrub again", scrub, false}};
        for (const auto& step : steps) {
            SCOPED_TRACE(step.name);
            fs::remove(backup);
            const std::string bytes = testing::readFileBytes(file);
            const testing::FileTrace trace = testing::FileTrace::of(file);
            const FileOutcome again = applyFileChange(file.string(), step.request, {.backup = true});
            if (step.changes) {
                ASSERT_EQ(again.kind, FileOutcome::Kind::Changed) << again.failure.text();
                continue;
            }
            EXPECT_EQ(again.kind, FileOutcome::Kind::Unchanged) << again.failure.text();
            EXPECT_TRUE(again.changes.empty());
            EXPECT_FALSE(fs::exists(backup));
            EXPECT_EQ(testing::FileTrace::of(file), trace);
            EXPECT_EQ(testing::readFileBytes(file), bytes);
        }
    }
}

// A requested time the file system cannot keep (ext4 ends in 2446) passes the plan, which knows
// only the years 1601 to 9999, and fails the outcome once read back; the content stays written.
TEST_F(ChangeEngine, RequestedTimeThatDoesNotLandFailsTheOutcome)
{
    std::tm year9000{};
    year9000.tm_year = 9000 - 1900;
    year9000.tm_mday = 1;
    const fs::path probe = scratch_.path() / "probe";
    testing::writeFileBytes(probe, "");
    const timespec probeTimes[2] = {{0, UTIME_OMIT}, {timegm(&year9000), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, probe.c_str(), probeTimes, 0), 0);
    if (testing::statOf(probe).st_mtim.tv_sec == probeTimes[1].tv_sec) GTEST_SKIP() << "this file system stores the year 9000";

    FileRequest request;
    request.content.rows[0] = props::RowValue::textValue("Neuer Titel");
    request.file.lastWrite.date = at(9000, 1, 1);
    for (const char* name : {"42474-1.ppt", "SmartArt.pptx"}) {
        SCOPED_TRACE(name);
        const fs::path file = copyOf(name);
        EXPECT_FALSE(planFileChange(file.string(), request, {}).refused());
        const FileOutcome outcome = applyFileChange(file.string(), request, {});
        EXPECT_TRUE(outcome.failed());
        EXPECT_TRUE(outcome.partly);
        EXPECT_TRUE(outcome.failure.text().starts_with("the file system cannot store 9000-01-01")) << outcome.failure.text();
        EXPECT_EQ(rowsOf(file).value_or(RowTexts{})[0], "Neuer Titel");
    }
}

}  // namespace
}  // namespace quorvane::change
