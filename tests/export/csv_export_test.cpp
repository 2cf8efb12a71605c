// SPDX-License-Identifier: Apache-2.0
// The CSV export over copies of every corpus file and the awkward cases (a missing file, a
// non-ZIP .pptx, a read-only hidden file, a file last read "never"), read back with Python's
// csv module; and the save, which never leaves a torn file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <memory>

#include "change/file_display.h"
#include "change/file_plan.h"
#include "export/csv_export.h"
#include "fileinfo/attribute_store.h"
#include "fileinfo/snapshot_display.h"
#include "tests/support/corpus.h"
#include "tests/support/environment_guard.h"
#include "tests/support/fileinfo_fixtures.h"

namespace quorvane::exporting {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// What Python's csv module reads from `csvFile`, or a null value when it refuses the file.
json readWithPython(const fs::path& csvFile)
{
    const std::string command = std::string("/usr/bin/python3 ") + QUORVANE_SOURCE_DIR +
                                "/tests/export/read_csv.py '" + csvFile.string() + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) return nullptr;
    std::string output;
    char buffer[4096];
    while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe.get())) output.append(buffer, got);
    return json::parse(output, nullptr, false);
}

// The fields the window shows for a file: its display read (snapshot, rows, then the file put
// back), the times and attributes as they were before it.
std::vector<std::string> shownFields(const fs::path& file)
{
    const change::FileDisplay shown = change::ReadFileForDisplay(file.string(), false);
    if (!shown.snapshot || !shown.rows) return {};
    std::vector<std::string> fields{file.string(), file.filename().string()};
    fields.insert(fields.end(), shown.rows->begin(), shown.rows->end());
    const auto texts = fileinfo::fileInfoTexts(*shown.snapshot);
    fields.insert(fields.end(), texts.begin(), texts.end());
    return fields;
}

class CsvExport : public ::testing::Test {
protected:
    testing::TimeLocaleGuard locale_{"C"};
    testing::ScratchDir scratch_;
};

TEST_F(CsvExport, EveryCorpusFileReadsBackAsShownAndIsLeftAsItWas)
{
    QUORVANE_REQUIRE_CORPUS();
    std::vector<fs::path> files;
    for (const char* kind : {"cfb", "zip", "other"})
        for (const std::string& name : testing::corpusFiles(kind)) files.push_back(scratch_.copyOfCorpusFile(name));

    // A read-only hidden file and a file whose last access lies before 1904-05-20.
    const fs::path hidden = scratch_.copyOfCorpusFile("42474-1.ppt").replace_filename("hidden.ppt");
    fs::rename(scratch_.path() / "42474-1.ppt", hidden);
    ASSERT_TRUE(fileinfo::writeAttributeWord(hidden.string(), fileinfo::kReadOnly | fileinfo::kHidden));
    const fs::path oldAccess = scratch_.copyOfCorpusFile("42474-1.ppt");
    testing::setAccessAndWriteTimes(oldAccess, {-2'100'000'000, 0}, {1'200'000'000, 0});
    const fs::path notZip = scratch_.path() / "not-a-zip.pptx";
    testing::writeFileBytes(notZip, "no archive here");
    const fs::path missing = scratch_.path() / "gone.ppt";
    files.insert(files.end(), {hidden, oldAccess, notZip, missing});

    std::map<std::string, std::vector<std::string>> expected;
    std::map<std::string, testing::FileTrace> traces;
    for (const fs::path& file : files) {
        if (!fs::exists(file)) continue;
        traces[file.string()] = testing::FileTrace::of(file);
        expected[file.string()] = shownFields(file);
        EXPECT_EQ(testing::FileTrace::of(file), traces[file.string()]) << "reading for the expectation";
        traces[file.string()] = testing::FileTrace::of(file);
    }

    ExportList lines;
    WriteCsvHeader(lines);
    for (const fs::path& file : files) AppendCsvLine(file.string(), lines);
    const fs::path csv = scratch_.path() / "export.csv";
    ASSERT_FALSE(saveExportList(csv.string(), lines).failed());

    for (const auto& [path, trace] : traces) EXPECT_EQ(testing::FileTrace::of(path), trace) << path;

    const json read = readWithPython(csv);
    ASSERT_TRUE(read.is_object()) << "Python's csv module refused the file";
    EXPECT_TRUE(read["ends_crlf"].get<bool>());
    const auto rows = read["rows"].get<std::vector<std::vector<std::string>>>();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].size(), 23u);
    EXPECT_EQ(rows[0][7], "Catagory");
    EXPECT_EQ(rows[0][22], "System");

    std::set<std::string> seen;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const auto& row = rows[i];
        ASSERT_GE(row.size(), 2u);
        seen.insert(row[0]);
        if (row.size() == 3 && row[2].empty()) {  // the short line: two names and a comma
            EXPECT_EQ(row[0], missing.string());
            continue;
        }
        ASSERT_EQ(row.size(), 23u) << row[0];
        EXPECT_EQ(row, expected[row[0]]) << row[0];
    }
    EXPECT_TRUE(seen.count(missing.string()));
    EXPECT_FALSE(seen.count(notZip.string())) << "an unreadable package gives no line";
    for (const auto& row : rows)
        if (row[0] == hidden.string()) {
            EXPECT_EQ(std::vector<std::string>(row.begin() + 19, row.end()),
                      (std::vector<std::string>{"Y", "", "Y", ""}));
        } else if (row[0] == oldAccess.string()) {
            EXPECT_EQ(row[18], "") << "a last access before 1904-05-20 is not shown";
            EXPECT_NE(row[17], "");
        }
}

TEST_F(CsvExport, FieldsAreQuotedWithQuotesDoubledAndLinesEndInCrLf)
{
    QUORVANE_REQUIRE_CORPUS();
    const fs::path ppt = scratch_.copyOfCorpusFile("42474-1.ppt");
    change::FileRequest onlyTitle;
    onlyTitle.content.rows.fill(props::RowValue::cleared());
    onlyTitle.content.rows[0] = props::RowValue::textValue("Say \"hi\", then\nleave");
    const change::FileOutcome outcome = change::applyFileChange(ppt.string(), onlyTitle, {});
    ASSERT_EQ(outcome.kind, change::FileOutcome::Kind::Changed) << outcome.failure.text();

    ExportList lines;
    ASSERT_TRUE(AppendCsvLine(ppt.string(), lines));
    ASSERT_EQ(lines.size(), 1u);
    const std::string prefix = "\"" + ppt.string() + "\",\"42474-1.ppt\",\"Say \"\"hi\"\", then\nleave\",";
    EXPECT_EQ(lines[0].substr(0, prefix.size()), prefix);
    // The next 13 property fields are empty, each two double quotes.
    std::string emptyFields;
    for (int i = 0; i < 13; ++i) emptyFields += "\"\",";
    EXPECT_EQ(lines[0].substr(prefix.size(), emptyFields.size()), emptyFields);

    const fs::path csv = scratch_.path() / "one.csv";
    ASSERT_FALSE(saveExportList(csv.string(), {"\"a\"", "\"b\""}).failed());
    EXPECT_EQ(testing::readFileBytes(csv), "\"a\"\r\n\"b\"\r\n");
}

TEST_F(CsvExport, AMissingFileOrAFolderGivesTheShortLineAndItsReason)
{
    ExportList lines;
    const std::string gone = (scratch_.path() / "dir/gone.PPT").string();
    EXPECT_FALSE(AppendCsvLine(gone, lines));
    EXPECT_EQ(lines, ExportList{"\"" + gone + "\",\"gone.PPT\","});
    EXPECT_EQ(appendFileLine(gone, lines).text(), "no such file");
    EXPECT_EQ(appendFileLine(scratch_.path().string(), lines).text(), "not a regular file");
    EXPECT_EQ(lines.size(), 3u);
}

TEST_F(CsvExport, AFileHeldByAnotherProcessGivesTheLockAsItsReason)
{
    const fs::path held = scratch_.path() / "held.ppt";
    testing::writeFileBytes(held, "no compound file");
    testing::LockHoldingChild holder(held, true);
    ASSERT_TRUE(holder.holding());
    ExportList lines;
    const Failure failure = appendFileLine(held.string(), lines);
    EXPECT_EQ(failure.kind(), FailureKind::Locked);
    EXPECT_TRUE(failure.text().ends_with("in use by another program")) << failure.text();
}

TEST_F(CsvExport, AFailedSaveKeepsTheEarlierFileAndLeavesNothingBehind)
{
    const fs::path csv = scratch_.path() / "kept.csv";
    ASSERT_FALSE(saveExportList(csv.string(), {"\"old\""}).failed());
    ASSERT_EQ(::chmod(csv.c_str(), 0640), 0);
    ASSERT_FALSE(saveExportList(csv.string(), {"\"new\""}).failed());
    EXPECT_EQ(testing::readFileBytes(csv), "\"new\"\r\n");
    EXPECT_EQ(testing::statOf(csv).st_mode & 0777, 0640u) << "the replaced file keeps its permissions";

    const fs::path folder = scratch_.path() / "a-folder.csv";
    fs::create_directory(folder);
    EXPECT_TRUE(saveExportList(folder.string(), {"\"x\""}).failed());
    EXPECT_TRUE(saveExportList((scratch_.path() / "no/such/folder.csv").string(), {"\"x\""}).failed());
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(scratch_.path())) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a-folder.csv", "kept.csv"}));
}

}  // namespace
}  // namespace quorvane::exporting
