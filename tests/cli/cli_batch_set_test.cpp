// SPDX-License-Identifier: Apache-2.0
// quorvane-cli set as the batch change without windows: one run over copies of every readable
// corpus file, read back here, by olefile and by Python's zipfile with nothing else changed; the
// file-time and attribute options; the backup and what its failure does; usage errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "fileinfo/attribute_store.h"
#include "fileinfo/file_snapshot.h"
#include "convert/date_time.h"
#include "document/document_format.h"
#include "tests/support/document_reads.h"
#include "tests/cli/cli_fixture.h"
#include "tests/support/cfb_olefile.h"
#include "tests/support/corpus.h"
#include "tests/support/zip_python_check.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kTitle[] = "CLI batch title";
constexpr char kCategory[] = "CLI batch category";

convert::DateTime localDateTime(int year, int month, int day, int hour, int minute, int second)
{
    convert::CalendarFields fields;
    fields.year = year;
    fields.month = month;
    fields.day = day;
    fields.hour = hour;
    fields.minute = minute;
    fields.second = second;
    return convert::encodeDateTime(fields).value();
}

convert::DateTime localTimeOf(convert::FileTime fileTime)
{
    return convert::FileTimeToDateTime(fileTime);
}

bool nearlyEqual(convert::DateTime a, convert::DateTime b)
{
    return std::abs(a - b) < 0.5 / 86400.0;  // within half a second
}

// An encrypted document refuses every change (cli_encrypted_document_test.cpp).
bool isUndamagedUnencryptedCompoundFile(const nlohmann::json& oracle)
{
    const nlohmann::json flags = oracle.value("flags", nlohmann::json::array());
    return oracle.contains("cfb") && oracle["cfb"].value("opens", false) && !oracle["cfb"].value("encrypted", false) &&
           std::find(flags.begin(), flags.end(), "damaged_clusterfuzz") == flags.end();
}

std::string partTarget(const nlohmann::json& oracle, const char* part)
{
    std::string target = oracle.at("zip").at(part).at("target");
    if (!target.empty() && target.front() == '/') target.erase(0, 1);
    return target;
}

TEST_F(Cli, SetChangesEveryReadableCorpusFileAndNothingElse)
{
    QUORVANE_REQUIRE_CORPUS();
    struct Copy {
        std::string name;
        std::string path;
        bool isPackage;
        props::RowTexts rowsBefore;
        fileinfo::FileSnapshot snapshotBefore;
    };
    std::vector<Copy> copies;
    int fileIndex = 0;
    for (const char* kind : {"cfb", "zip"}) {
        for (const std::string& name : corpusFiles(kind)) {
#if defined(__SANITIZE_ADDRESS__)
            // The sanitizer run changes every fourth file; the release run changes them all.
            if (fileIndex++ % 4 != 0) continue;
#else
            ++fileIndex;
#endif
            const std::string path = copyOf(name);
            // Readable as the program reads it: a .pptx that reads as a package, any other file a
            // compound file that opens, is not one of the fuzzers' damaged files and is not encrypted.
            const auto rows = testing::documentRows(path);
            const bool isPackage = (document::documentFormatOf(path) == document::DocumentFormat::Package);
            if (!rows || (!isPackage && !isUndamagedUnencryptedCompoundFile(oracleOf(name)))) continue;
            copies.push_back({name, path, isPackage, *rows, fileinfo::ReadFileAttributeData(path).value()});
        }
    }
    ASSERT_GT(copies.size(), 20u);

    std::vector<std::string> arguments{"set",          "--title",           kTitle,    "--category=" + std::string(kCategory),
                                       "--modify-date", "2001-02-03",        "--modify-time", "04:05:06",
                                       "--creation-date", "2002-03-04",      "--archive", "on", "--hidden", "off"};
    for (const Copy& copy : copies) arguments.push_back(copy.path);
    const CliRun result = run(arguments);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");

    std::string expectedOut;
    std::vector<RewrittenArchive> forPython;
    for (const Copy& copy : copies) {
        SCOPED_TRACE(copy.name);
        expectedOut += copy.path + ": changed\n";
        // The modify time is the given date and time; the creation time takes the given date and
        // keeps its time of day; the last access is put back as it was.
        const fileinfo::FileSnapshot after = fileinfo::ReadFileAttributeData(copy.path).value();
        EXPECT_TRUE(nearlyEqual(localTimeOf(after.lastWriteTime), localDateTime(2001, 2, 3, 4, 5, 6)));
        const convert::DateTime creationBefore = localTimeOf(copy.snapshotBefore.creationTime);
        EXPECT_TRUE(nearlyEqual(localTimeOf(after.creationTime),
                                localDateTime(2002, 3, 4, 0, 0, 0) + convert::timePart(creationBefore)));
        EXPECT_TRUE(nearlyEqual(localTimeOf(after.lastAccessTime), localTimeOf(copy.snapshotBefore.lastAccessTime)));
        EXPECT_EQ(after.attributes & fileinfo::kArchive, fileinfo::kArchive);
        EXPECT_EQ(after.attributes & (fileinfo::kHidden | fileinfo::kReadOnly), 0u);
        props::RowTexts expected = copy.rowsBefore;
        expected[0] = kTitle;
        expected[5] = kCategory;
        EXPECT_EQ(testing::documentRows(copy.path), expected);

        const fs::path original = corpusDir() / "files" / copy.name;
        if (copy.isPackage) {
            const nlohmann::json oracle = oracleOf(copy.name);
            forPython.push_back({original, copy.path, {partTarget(oracle, "core"), partTarget(oracle, "app")},
                                 {{partTarget(oracle, "core"), {std::string(">") + kTitle + "<", kCategory}}}});
            continue;
        }
        const nlohmann::json verdict = olefileCompare(original, copy.path);
        ASSERT_FALSE(verdict.is_null()) << "olefile could not be run";
        if (!verdict["old_opens"].get<bool>()) continue;  // olefile cannot read the original either
        EXPECT_TRUE(verdict["new_opens"].get<bool>()) << verdict.dump();
        EXPECT_TRUE(verdict["missing"].empty()) << verdict.dump();
        for (const auto* list : {&verdict["changed"], &verdict["added"]})
            for (const auto& stream : *list)
                EXPECT_TRUE(stream == "\x05SummaryInformation" || stream == "\x05" "DocumentSummaryInformation")
                    << stream;
        EXPECT_EQ(verdict["props"]["SummaryInformation"]["2"], kTitle);
    }
    EXPECT_EQ(result.out, expectedOut);
    std::printf("%zu readable corpus files changed in one run, %zu of them packages\n", copies.size(),
                forPython.size());
    ASSERT_FALSE(forPython.empty());
    if (!pythonAvailable()) GTEST_SKIP() << "no /usr/bin/python3";
    EXPECT_EQ(problemsSeenByPython(fs::path(QUORVANE_SOURCE_DIR) / "tests/support/zip_compare.py", forPython), "");
}

TEST_F(Cli, SetWithOnlyTimesAndAttributesKeepsTheContents)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::string path = copyOf("WithComments.ppt");
    const std::string before = readFileBytes(path);
    const fileinfo::FileSnapshot snapshot = fileinfo::ReadFileAttributeData(path).value();

    const CliRun result = run({"set", "--access-time", "23:59", "--read-only", "on", "--system=on", path});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(readFileBytes(path), before);
    const fileinfo::FileSnapshot after = fileinfo::ReadFileAttributeData(path).value();
    const convert::DateTime accessBefore = localTimeOf(snapshot.lastAccessTime);
    EXPECT_TRUE(nearlyEqual(localTimeOf(after.lastAccessTime), convert::datePart(accessBefore) + 1439.0 / 1440.0));
    EXPECT_TRUE(nearlyEqual(localTimeOf(after.lastWriteTime), localTimeOf(snapshot.lastWriteTime)));
    EXPECT_EQ(after.attributes & (fileinfo::kReadOnly | fileinfo::kSystem), fileinfo::kReadOnly | fileinfo::kSystem);

    // Read-only now, the file is still changed by the next run, which clears the bit again.
    const CliRun second = run({"set", "--title", kTitle, "--read-only", "off", path});
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(testing::documentRows(path).value()[0], kTitle);
    EXPECT_EQ(fileinfo::ReadFileAttributeData(path).value().attributes & fileinfo::kReadOnly, 0u);
}

TEST_F(Cli, SetWithBackupCopiesEachFileFirstAndSkipsAFileThatCannotBeCopied)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::string first = copyOf("WithComments.ppt");
    const std::string second = copyOf("SmartArt.pptx");
    const std::string third = copyOf("42474-1.ppt");
    const std::string firstBefore = readFileBytes(first);
    const std::string secondBefore = readFileBytes(second);
    fs::create_directory(second + ".bak");  // a folder bears the backup name

    const CliRun result = run({"set", "--backup", "--subject", "Backed up", first, second, third});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, first + ": changed\n" + third + ": changed\n");
    EXPECT_NE(result.err.find(second + ": failed: no backup could be made as " + second + ".bak"), std::string::npos)
        << result.err;
    EXPECT_EQ(readFileBytes(first + ".bak"), firstBefore);
    EXPECT_EQ(testing::documentRows(first).value()[1], "Backed up");
    EXPECT_EQ(readFileBytes(second), secondBefore);
    EXPECT_TRUE(fs::is_directory(second + ".bak"));
    EXPECT_EQ(testing::documentRows(third).value()[1], "Backed up");
    EXPECT_TRUE(fs::exists(third + ".bak"));
    // Without --backup no copy is made.
    fs::remove(first + ".bak");
    ASSERT_EQ(run({"set", "--subject", "Again", first}).status, 0);
    EXPECT_FALSE(fs::exists(first + ".bak"));
}

TEST_F(Cli, SetOptionsWithBadValuesAreUsageErrorsThatTouchNothing)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::string path = copyOf("WithComments.ppt");
    const std::string before = readFileBytes(path);
    const std::vector<std::vector<std::string>> cases{
        {"set", "--creation-date", "2020-02-30", path},
        {"set", "--creation-date", "2020-02-03 10:00", path},
        {"set", "--modify-time", "25:00", path},
        {"set", "--access-time", "noon", path},
        {"set", "--hidden", "yes", path},
        {"set", "--system"},
        {"set", "--backup", path},
        {"set", "--backup=yes", "--title", "x", path},
        {"set", "--read-only", "on"},
        {"set", "--title", "--dry-run", path},  // a forgotten value does not swallow the next option
        {"set", "--custom", "--title=x", path},
        {"set", "--total-editing-time", "-5", path},
    };
    for (const auto& arguments : cases) {
        std::string shown;
        for (const auto& argument : arguments) shown += argument + " ";
        const CliRun result = run(arguments);
        EXPECT_EQ(result.status, 2) << shown;
        EXPECT_NE(result.err.find("quorvane-cli: set: "), std::string::npos) << shown << result.err;
        EXPECT_TRUE(result.err.ends_with("\nTry 'quorvane-cli set --help'.\n")) << shown << result.err;
        EXPECT_EQ(readFileBytes(path), before) << shown;
    }
    EXPECT_FALSE(fs::exists(path + ".bak"));
}

}  // namespace
}  // namespace quorvane::testing
