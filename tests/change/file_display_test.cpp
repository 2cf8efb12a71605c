// SPDX-License-Identifier: Apache-2.0
// Reading one file for display: the oracle's values from a .ppt and a .pptx, the file left with
// its three times (to the nanosecond), mode and stored attributes, read-only and hidden files
// included; the failures (missing file, damaged package, a file locked by another process) and
// the status each outcome gives a line.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "change/file_display.h"
#include "fileinfo/attribute_store.h"
#include "props/catalogue.h"
#include "tests/support/corpus.h"
#include "tests/support/fileinfo_fixtures.h"
#include "tests/support/package_builder.h"

namespace quorvane::change {
namespace {

namespace fs = std::filesystem;
using fileinfo::AttributeWord;

constexpr int kTitleRow = 0, kAuthorRow = 2, kEditingTimeRow = 12;

using testing::FileTrace;

class FileDisplayTest : public ::testing::Test {
protected:
    testing::XattrScratchDir scratch{QUORVANE_BINARY_DIR};

    // A copy of a corpus file with an access time long past, which a read would move forward
    // (relatime), and odd nanoseconds, which a restore at a coarser precision would lose.
    fs::path copyOf(const std::string& corpusName, AttributeWord attributes) const
    {
        const fs::path copy = scratch.path() / corpusName;
        fs::copy_file(testing::corpusDir() / "files" / corpusName, copy);
        testing::setAccessAndWriteTimes(copy, timespec{1'000'000'007, 123'456'789}, timespec{1'200'000'000, 987'654'321});
        EXPECT_TRUE(fileinfo::writeAttributeWord(copy.string(), attributes));
        return copy;
    }
};

TEST_F(FileDisplayTest, ShowsTheOraclesValuesAndLeavesNoTrace)
{
    QUORVANE_REQUIRE_CORPUS();
    QUORVANE_REQUIRE_XATTR_SCRATCH(scratch);
    const auto pptProps = testing::oracleOf("SimpleMacro.ppt")["cfb"]["SummaryInformation"]["props"];
    const auto pptxOracle = testing::oracleOf("WithMaster.pptx")["zip"];
    const struct {
        const char* file;
        std::string title, author, editingMinutes;
    } files[] = {
        {"SimpleMacro.ppt", pptProps["2"]["value"], pptProps["4"]["value"],
         std::to_string(pptProps["10"]["minutes_rounded_half_even"].get<long long>())},
        {"WithMaster.pptx", pptxOracle["core"]["elements"]["dc:title"]["text"],
         pptxOracle["core"]["elements"]["dc:creator"]["text"], pptxOracle["app"]["elements"]["TotalTime"]["text"]},
    };
    const AttributeWord attributeWords[] = {fileinfo::kArchive, fileinfo::kReadOnly | fileinfo::kHidden | fileinfo::kSystem};
    for (const auto& file : files) {
        for (const AttributeWord attributes : attributeWords) {
            SCOPED_TRACE(std::string(file.file) + " attributes " + std::to_string(attributes));
            const fs::path copy = copyOf(file.file, attributes);
            const FileTrace before = FileTrace::of(copy);

            const FileDisplay display = ReadFileForDisplay(copy.string());

            EXPECT_TRUE(display.succeeded);
            ASSERT_TRUE(display.rows.has_value());
            EXPECT_EQ((*display.rows)[kTitleRow], file.title);
            EXPECT_EQ((*display.rows)[kAuthorRow], file.author);
            EXPECT_EQ((*display.rows)[kEditingTimeRow], file.editingMinutes);
            ASSERT_TRUE(display.snapshot.has_value());
            EXPECT_EQ(display.snapshot->attributes, attributes);
            EXPECT_EQ(display.snapshot->lastAccessTime, fileinfo::fileTimeOf(before.lastAccess));
            EXPECT_EQ(FileTrace::of(copy), before);
            EXPECT_EQ(fileinfo::readAttributeState(copy.string())->word, attributes);
            fs::remove(copy);
        }
    }
}

TEST_F(FileDisplayTest, FailuresGiveNoRowsOrFailAndStillLeaveNoTrace)
{
    QUORVANE_REQUIRE_XATTR_SCRATCH(scratch);
    const fs::path notAZip = scratch.file("damaged.pptx", "PK this is no archive");
    const fs::path malformedPart = scratch.file(
        "malformed.pptx", testing::packageBytes(testing::relationshipsPart(), testing::extendedPart(""),
                                                "<cp:coreProperties><dc:title>unclosed"));
    const fs::path notACompoundFile = scratch.file("text.ppt", "plain text, no compound file");
    for (const fs::path& file : {notAZip, malformedPart, notACompoundFile}) {
        testing::setAccessAndWriteTimes(file, timespec{1'000'000'000, 1}, timespec{1'100'000'000, 2});
        ASSERT_TRUE(fileinfo::writeAttributeWord(file.string(), fileinfo::kReadOnly | fileinfo::kHidden));
    }
    const struct {
        fs::path file;
        bool succeeded;
    } cases[] = {{notAZip, false}, {malformedPart, false}, {notACompoundFile, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.filename().string());
        const FileTrace before = FileTrace::of(c.file);
        const FileDisplay display = ReadFileForDisplay(c.file.string());
        EXPECT_EQ(display.succeeded, c.succeeded);
        EXPECT_EQ(display.rows.has_value(), c.succeeded);
        EXPECT_TRUE(display.rowsFailure.failed()) << "the reason is kept even where rows are shown";
        if (display.rows) {
            EXPECT_EQ(*display.rows, props::RowTexts{});  // nothing to read is no failure
        }
        EXPECT_TRUE(display.snapshot.has_value());
        EXPECT_EQ(FileTrace::of(c.file), before);
    }

    const FileDisplay missing = ReadFileForDisplay((scratch.path() / "missing.ppt").string());
    EXPECT_FALSE(missing.succeeded);
    EXPECT_FALSE(missing.snapshot.has_value());
    EXPECT_FALSE(missing.rows.has_value());
    EXPECT_EQ(missing.failure.text(), "no such file");

    fs::create_directory(scratch.path() / "folder.ppt");
    const FileDisplay folder = ReadFileForDisplay((scratch.path() / "folder.ppt").string());
    EXPECT_FALSE(folder.succeeded);
    EXPECT_EQ(folder.failure.kind(), FailureKind::NotRegularFile);
    EXPECT_EQ(folder.failure.text(), "not a regular file");
}

TEST_F(FileDisplayTest, FileLockedByAnotherProcessShowsNothingAndFails)
{
    QUORVANE_REQUIRE_CORPUS();
    QUORVANE_REQUIRE_XATTR_SCRATCH(scratch);
    const fs::path copy = copyOf("SimpleMacro.ppt", fileinfo::kArchive);
    const FileTrace before = FileTrace::of(copy);
    {
        testing::LockHoldingChild holder(copy, true);
        ASSERT_TRUE(holder.holding());
        const FileDisplay display = ReadFileForDisplay(copy.string());
        EXPECT_FALSE(display.succeeded);
        EXPECT_EQ(display.failure.kind(), FailureKind::Locked);
        EXPECT_TRUE(display.failure.text().ends_with("in use by another program")) << display.failure.text();
        ASSERT_TRUE(display.rows.has_value());
        EXPECT_EQ(*display.rows, props::RowTexts{});
    }
    EXPECT_EQ(FileTrace::of(copy), before);
    EXPECT_TRUE(ReadFileForDisplay(copy.string()).succeeded);
}

TEST(FileDisplayStatus, FailureMarksUnreadableSuccessClearsOnlyThatMark)
{
    const struct {
        FileStatus previous;
        bool succeeded;
        FileStatus expected;
    } cases[] = {
        {kUnchanged, true, kUnchanged},      {kChanged, true, kChanged},         {kChangeFailed, true, kChangeFailed},
        {kUnreadable, true, kUnchanged},     {kUnchanged, false, kUnreadable},   {kChanged, false, kUnreadable},
        {kChangeFailed, false, kUnreadable}, {kUnreadable, false, kUnreadable},
    };
    for (const auto& c : cases)
        EXPECT_EQ(statusAfterDisplay(c.previous, c.succeeded), c.expected) << c.previous << " " << c.succeeded;
}

}  // namespace
}  // namespace quorvane::change
