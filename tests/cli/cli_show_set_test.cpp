// SPDX-License-Identifier: Apache-2.0
// quorvane-cli run as a user runs it: show in text and JSON, set with every kind of row option,
// export, and the exit statuses 0 / 1 (some file failed) / 2 (usage error, nothing written).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <sstream>

#include <nlohmann/json.hpp>

#include "props/catalogue.h"
#include "convert/date_time.h"
#include "convert/display_text.h"
#include "fileinfo/attribute_store.h"
#include "fileinfo/file_snapshot.h"
#include "fileinfo/snapshot_display.h"
#include "document/document_format.h"
#include "tests/support/document_reads.h"
#include "document/ppt_rows.h"
#include "tests/cli/cli_fixture.h"
#include "tests/support/corpus.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

TEST_F(Cli, ShowPrintsTheRowsTimesAndAttributesAndLeavesTheFileAsItWas)
{
    QUORVANE_REQUIRE_CORPUS();
    for (const char* name : {"37625.ppt", "SmartArt.pptx"}) {
        const std::string path = copyOf(name);
        // A read-only hidden file whose last access lies before 1904-05-20 (not shown).
        ASSERT_TRUE(fileinfo::writeAttributeWord(path, fileinfo::kReadOnly | fileinfo::kHidden));
        const timespec times[2] = {{-2'100'000'000, 0}, {1'200'000'000, 5}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        const auto before = fileinfo::ReadFileAttributeData(path).value();

        const CliRun result = run({"show", path});
        ASSERT_EQ(result.status, 0) << result.err;

        const auto after = fileinfo::ReadFileAttributeData(path).value();
        EXPECT_EQ(after.exactLastAccess.tv_sec, before.exactLastAccess.tv_sec) << name;
        EXPECT_EQ(after.exactLastWrite.tv_nsec, before.exactLastWrite.tv_nsec) << name;
        EXPECT_EQ(after.attributes, before.attributes) << name;
        const props::RowTexts rows = testing::documentRows(path).value();
        std::string expected = path + "\n";
        for (int row = 0; row < props::kRowCount; ++row)
            expected += std::string(props::catalogueRow(row).label) + ": " + rows[std::size_t(row)] + "\n";
        const auto fileInfo = fileinfo::fileInfoTexts(before);
        for (int index = 0; index < props::kFileInfoLabelCount; ++index)
            expected += std::string(props::fileInfoLabel(index)) + ": " + fileInfo[std::size_t(index)] + "\n";
        EXPECT_EQ(result.out, expected);
        EXPECT_NE(result.out.find("Last Access Time: \nRead-only: Y\nArchive: \nHidden: Y\nSystem: \n"),
                  std::string::npos);
    }
    EXPECT_NE(run({"show", copyOf("37625.ppt")}).out.find("Total Editing Time(Minutes): 1792\n"), std::string::npos);
}

TEST_F(Cli, ShowJsonGivesOneObjectPerFileAndFailsForUnreadableOnes)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::string good = copyOf("54880_chinese.ppt");
    const std::string text = (scratch_.path() / "text.ppt").string();
    writeFileBytes(text, "not a compound file");
    const std::string package = (scratch_.path() / "deck.PPTX").string();
    writeFileBytes(package, "not a ZIP archive");
    const std::string realPackage = copyOf("SmartArt.pptx");
    const CliRun result = run({"show", "--json", good, text, package, realPackage});
    EXPECT_EQ(result.status, 1);
    const auto json = nlohmann::json::parse(result.out);
    ASSERT_EQ(json.size(), 4u);
    EXPECT_TRUE(json[3]["readable"].get<bool>());
    const props::RowTexts packageRows = testing::documentRows(realPackage).value();
    for (int row = 0; row < props::kRowCount; ++row) {
        const nlohmann::json& value = json[3]["properties"][std::string(props::catalogueRow(row).name)];
        const std::string& shown = packageRows[std::size_t(row)];
        if (shown.empty()) EXPECT_TRUE(value.is_null()) << row;
        else if (props::isTextRow(row) || row == props::kRevisionNumberRow) EXPECT_EQ(value, shown);
        else if (props::isDurationRow(row)) EXPECT_EQ(value, std::stoll(shown));
        else EXPECT_TRUE(value.is_string() && value.get<std::string>().size() == 25) << value;  // 2003-12-26T04:22:45+00:00
    }
    EXPECT_EQ(json[3]["format"], "pptx");
    EXPECT_TRUE(json[3]["failure"].is_null());
    EXPECT_EQ(json[3]["times"].size(), 3u);
    EXPECT_TRUE(json[3]["times"]["accessed"].is_string());
    EXPECT_EQ(json[3]["attributes"]["read_only"], false);
    EXPECT_EQ(json[3]["attributes"].size(), 4u);
    EXPECT_EQ(json[0]["path"], good);
    EXPECT_EQ(json[0]["format"], "ppt");
    EXPECT_TRUE(json[0]["readable"].get<bool>());
    EXPECT_EQ(json[0]["properties"]["title"], "スライド 1");
    EXPECT_EQ(json[0]["properties"].size(), std::size_t(props::kRowCount));
    EXPECT_FALSE(json[1]["readable"].get<bool>());
    EXPECT_TRUE(json[1]["format"].is_null()) << "neither signature";
    EXPECT_NE(json[1]["failure"].get<std::string>().find("not a presentation: "), std::string::npos);
    EXPECT_FALSE(json[2]["readable"].get<bool>());
    EXPECT_NE(result.err.find(text + ": not a presentation: "), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("deck.PPTX: not a presentation: "), std::string::npos) << result.err;
}

TEST_F(Cli, SetWritesEveryKindOfRowAndShowReadsThemBack)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::string path = copyOf("WithComments.ppt");
    const CliRun result = run({"set", "--title", "CLI title", "--category=--Talks", "--revision", "7",
                               "--created", "2020-01-02 03:04", "--modified", "2021-05-06", "--last-printed", "",
                               "--total-editing-time", "90", path});
    ASSERT_EQ(result.status, 0) << result.err;
    const props::RowTexts rows = testing::documentRows(path).value();
    EXPECT_EQ(rows[0], "CLI title");
    EXPECT_EQ(rows[5], "--Talks");  // given with '=', a value may begin with "--"
    EXPECT_EQ(rows[6], "7");
    EXPECT_EQ(rows[10], "2020-01-02 03:04:00");  // the C locale's display form
    EXPECT_EQ(rows[11], "2021-05-06");
    EXPECT_EQ(rows[12], "90");
    EXPECT_EQ(rows[13], "");
}

TEST_F(Cli, UsageErrorsWriteNothingAndExitWithTwo)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::string path = copyOf("WithComments.ppt");
    const std::string before = readFileBytes(path);
    const std::vector<std::vector<std::string>> cases{
        {},
        {"frobnicate", path},
        {"show"},
        {"show", "--colour", path},
        {"set", path},
        {"set", "--title", "x"},
        {"set", "--titel", "x", path},
        {"set", "--created", "2020-13-01", path},
        {"set", "--created", "yesterday", path},
        {"set", "--total-editing-time", "ninety", path},
        {"set", "--title", "x", "--title"},
    };
    for (const auto& arguments : cases) {
        const CliRun result = run(arguments);
        std::string shown;
        for (const auto& a : arguments) shown += a + " ";
        EXPECT_EQ(result.status, 2) << shown;
        EXPECT_NE(result.err.find("quorvane-cli: "), std::string::npos) << shown;
        EXPECT_EQ(readFileBytes(path), before) << shown;
    }
    EXPECT_EQ(run({"--help"}).status, 0);
}

TEST_F(Cli, SetReportsEachFailedFileAndGoesOnWithTheNext)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::string readOnly = copyOf("38256.ppt");
    fs::permissions(readOnly, fs::perms::owner_read);
    const std::string good = copyOf("WithComments.ppt");
    const std::string damaged = (scratch_.path() / "damaged.ppt").string();
    writeFileBytes(damaged, "not a compound file");
    const CliRun result =
        run({"set", "--author", "Someone", readOnly, (scratch_.path() / "none.ppt").string(), damaged, good});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, readOnly + ": changed\n" + good + ": changed\n");
    EXPECT_NE(result.err.find("none.ppt: failed: no such file"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(damaged + ": failed: not a presentation: "), std::string::npos) << result.err;
    EXPECT_EQ(readFileBytes(damaged), "not a compound file");
    // A read-only file is changed as a batch run changes it, and is read-only again afterwards.
    EXPECT_EQ(testing::documentRows(readOnly).value()[2], "Someone");
    EXPECT_EQ(fs::status(readOnly).permissions() & (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write),
              fs::perms::none);
    EXPECT_EQ(testing::documentRows(good).value()[2], "Someone");
}

TEST_F(Cli, ExportWritesTheCsvOfTheProgramAndReportsFilesWithoutAFullLine)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::string ppt = copyOf("42474-1.ppt");
    const std::string pptx = copyOf("SmartArt.pptx");
    const std::string broken = (scratch_.path() / "broken.pptx").string();
    writeFileBytes(broken, std::string("PK\3\4", 4) + " and no more of an archive");
    const std::string csv = (scratch_.path() / "out.csv").string();

    CliRun result = run({"export", "--progress", csv, ppt, pptx});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "") << "no progress bar when stderr is no terminal";
    const std::string written = readFileBytes(csv);
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 3);
    EXPECT_EQ(written.substr(0, 30), "\"File full name\",\"File Name\",\"");
    EXPECT_NE(written.find("\"" + pptx + "\",\"SmartArt.pptx\","), std::string::npos);

    result = run({"export", "--force", csv, ppt, broken});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("broken.pptx: not a ZIP archive; no line written"), std::string::npos) << result.err;
    const std::string rewritten = readFileBytes(csv);
    EXPECT_EQ(std::count(rewritten.begin(), rewritten.end(), '\n'), 2);

    // A damaged .ppt and a missing file fail with the reasons `show` gives, and their lines hold
    // as many fields as the header (no value here holds a comma).
    const std::string damaged = copyOf("clusterfuzz-testcase-minimized-POIHSLFFuzzer-5018229722382336.ppt");
    const std::string gone = (scratch_.path() / "gone.ppt").string();
    result = run({"export", damaged, gone});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find(damaged + ": damaged compound file: "), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(gone + ": no such file"), std::string::npos) << result.err;
    EXPECT_EQ(run({"show", damaged}).status, 1);
    std::istringstream lines(result.out);
    int lineCount = 0;
    for (std::string line; std::getline(lines, line); ++lineCount) EXPECT_EQ(std::count(line.begin(), line.end(), ','), 22) << line;
    EXPECT_EQ(lineCount, 3);

    EXPECT_EQ(run({"export", csv}).status, 2);
    result = run({"export", "--force", "-o", scratch_.path().string(), ppt});
    EXPECT_EQ(result.status, 1) << "a folder cannot be replaced";
    EXPECT_EQ(result.err, "quorvane-cli: cannot save to " + scratch_.path().string() + ": not a regular file\n");
}

}  // namespace
}  // namespace quorvane::testing
