// SPDX-License-Identifier: Apache-2.0
// Writing rows into hand-made packages: which rows are written and how, the dates that are never
// emptied, a write that changes nothing writing nothing, and every way a write can fail, each
// leaving the file byte-identical with no temporary file behind, a failure at every write of the
// rewrite included.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>

#include "package/package_reader.h"
#include "package/package_writer.h"
#include "base/random_access_file.h"
#include "zip/zip_central_dir.h"
#include "zip/zip_entry_extract.h"
#include "tests/support/corpus.h"
#include "tests/support/environment_guard.h"
#include "tests/support/faulty_file.h"
#include "tests/support/fileinfo_fixtures.h"
#include "tests/support/package_builder.h"

namespace quorvane::package {
namespace {

namespace fs = std::filesystem;
using namespace quorvane::testing;

const props::RowTexts kFullRows = {"Quarterly", "Results", "Ada", "money, plans", "  spaced  ", "Finance", "7", "Bea",
                            "Cleo", "Lomberk", "2010-03-04 05:06:07", "2011-12-13 14:15:16", "125",
                            "2009-01-02 03:04:05"};

class PackageWrite : public ::testing::Test {
protected:
    fs::path packageFile(const std::string& bytes)
    {
        const fs::path path = scratch_.path() / "deck.pptx";
        writeFileBytes(path, bytes);
        return path;
    }
    fs::path fullPackage()
    {
        return packageFile(packageBytes(relationshipsPart(), extendedPart(fullExtendedChildren()),
                                        corePart(fullCoreChildren())));
    }
    std::string partText(const fs::path& path, const char* entry)
    {
        auto file = PosixFile::open(path, OpenMode::ReadShared);
        const auto directory = zip::ReadDirectory(*file);
        return textOf(zip::ExtractEntryToMemory(*file, *directory, entry));
    }
    long filesInFolder() const
    {
        return std::distance(fs::directory_iterator(scratch_.path()), fs::directory_iterator());
    }

    ScratchDir scratch_;
    TimeZoneGuard zone_{"UTC"};
    TimeLocaleGuard locale_{"C"};
};

TEST_F(PackageWrite, WritesSelectedRowsWithTheirConversions)
{
    const struct {
        const char* what;
        int row;
        const char* text;
        const char* expectedRead;    // the row as read back
        const char* expectedInPart;  // a text the part holds afterwards ("" for none)
        const char* absentFromPart;  // a text the part no longer holds ("" for none)
    } cases[] = {
        {"title kept untrimmed", 0, " T ", " T ", "<dc:title> T </dc:title>", ""},
        {"empty comments stay an element", 4, "", "", "<dc:description/>", ""},
        {"created as W3C text", 10, "2020-02-03 04:05:06", "2020-02-03 04:05:06",
         ">2020-02-03T04:05:06Z</dcterms:created>", ""},
        {"empty created leaves the element as it was", 10, "", "2010-03-04 05:06:07",
         ">2010-03-04T05:06:07Z</dcterms:created>", ""},
        {"unreadable modified leaves the element as it was", 11, "soon", "2011-12-13 14:15:16",
         ">2011-12-13T14:15:16Z</dcterms:modified>", ""},
        {"last printed trimmed and converted", 13, "  2020-02-03 04:05:06\t", "2020-02-03 04:05:06",
         "<cp:lastPrinted>2020-02-03T04:05:06Z</cp:lastPrinted>", ""},
        {"a date before 1899-12-30 keeps its time of day", 13, "1800-06-01 06:00:00", "1800-06-01 06:00:00",
         "<cp:lastPrinted>1800-06-01T06:00:00Z</cp:lastPrinted>", ""},
        {"blank last printed removed", 13, "   ", "", "", "lastPrinted"},
        {"unreadable last printed removed", 13, "never", "", "", "lastPrinted"},
        {"empty total time removed", 12, "", "", "", "TotalTime"},
        {"total time as minutes", 12, "90", "90", "<TotalTime>90</TotalTime>", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path path = fullPackage();
        props::RowTexts texts = kFullRows;
        texts[c.row] = c.text;
        texts[7] = "unchecked rows are not written";
        props::RowSelection selected{};
        selected[c.row] = true;
        ASSERT_TRUE(package::WritePackageProperties(path, texts, selected));
        props::RowTexts expected = kFullRows;
        expected[c.row] = c.expectedRead;
        EXPECT_EQ(package::ReadPackageProperties(path), expected);
        const std::string part = partText(path, c.row == 12 ? "docProps\\app.xml" : "docProps\\core.xml");
        if (*c.expectedInPart) {
            EXPECT_NE(part.find(c.expectedInPart), std::string::npos) << part;
        }
        if (*c.absentFromPart) {
            EXPECT_EQ(part.find(c.absentFromPart), std::string::npos) << part;
        }
    }
}

TEST_F(PackageWrite, ValuesAPartCannotHoldAreRefusedWithNothingWritten)
{
    std::string declaringEntities = corePart(fullCoreChildren() + "<cp:contentStatus>k &co; k</cp:contentStatus>");
    declaringEntities.insert(declaringEntities.find("?>") + 2, R"(<!DOCTYPE cp:coreProperties [<!ENTITY co "company">]>)");
    const struct {
        const char* what;
        const char* zone;
        int row;
        std::string text;
        std::string core;  // "" for the full core part
        FailureKind kind;
        const char* reason;
    } cases[] = {
        {"vertical tab", "UTC", 0, "Line1\vLine2", "", FailureKind::Conversion,
         "text cannot be stored in a package part: control character U+000B in Title"},
        {"NUL", "UTC", 9, std::string("a\0b", 3), "", FailureKind::Conversion,
         "text cannot be stored in a package part: control character U+0000 in Company"},
        {"escape", "UTC", 8, "\x1b[0m", "", FailureKind::Conversion,
         "text cannot be stored in a package part: control character U+001B in Manager"},
        {"cut sequence", "UTC", 3, "caf\xC3", "", FailureKind::Conversion,
         "text cannot be stored in a package part: invalid UTF-8 in Keywords"},
        {"overlong slash", "UTC", 4, "a\xC0\xAF", "", FailureKind::Conversion,
         "text cannot be stored in a package part: invalid UTF-8 in Comments"},
        {"surrogate", "UTC", 1, "\xED\xA0\x80", "", FailureKind::Conversion,
         "text cannot be stored in a package part: invalid UTF-8 in Subject"},
        {"noncharacter", "UTC", 2, "\xEF\xBF\xBF", "", FailureKind::Conversion,
         "text cannot be stored in a package part: character U+FFFF in Author"},
        {"created past 9999 in UTC", "America/New_York", 10, "9999-12-31 23:59:59", "", FailureKind::Conversion,
         "Create Time/Date cannot be stored: a date must lie from 1601-01-01 00:00:01 to 9999-12-31 23:59:59 UTC"},
        {"created at FILETIME 0, no date to readers", "UTC", 10, "1601-01-01 00:00:00", "", FailureKind::Conversion,
         "Create Time/Date cannot be stored: a date must lie from 1601-01-01 00:00:01 to 9999-12-31 23:59:59 UTC"},
        {"last printed before year 1 in UTC", "Europe/Berlin", 13, "0001-01-01", "", FailureKind::Conversion,
         "Last Printed cannot be stored: a date must lie from 1601-01-01 00:00:01 to 9999-12-31 23:59:59 UTC"},
        {"a part that declares entities", "UTC", 0, "T", declaringEntities, FailureKind::Unsupported,
         "package part declares a document type: docProps/core.xml"},
        {"total editing time that is no whole number", "UTC", 12, "1.5", "", FailureKind::Conversion,
         "'1.5' is not a whole number of minutes"},
        {"negative total editing time", "UTC", 12, "-5", "", FailureKind::Conversion, "'-5' is less than 0 minutes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TimeZoneGuard zone(c.zone);
        const fs::path path = packageFile(packageBytes(relationshipsPart(), extendedPart(fullExtendedChildren()),
                                                       c.core.empty() ? corePart(fullCoreChildren()) : c.core));
        const std::string original = readFileBytes(path);
        props::RowTexts texts = kFullRows;
        texts[c.row] = c.text;
        const Failure failure = writePackageRows(path, texts, props::kAllRows);
        EXPECT_EQ(failure.kind(), c.kind);
        EXPECT_EQ(failure.text(), c.reason);
        EXPECT_FALSE(WritePackageProperties(path, texts, props::kAllRows));
        EXPECT_TRUE(readFileBytes(path) == original);
        EXPECT_EQ(filesInFolder(), 1);
    }

    // What XML admits is written and read back as it was.
    const fs::path path = fullPackage();
    props::RowTexts texts = kFullRows;
    texts[0] = "tab\tline\nend";
    texts[1] = "\xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80 \x7F \xC2\x85";
    texts[2] = "carriage\rreturn\r\npair";  // read back as itself, not as line feeds
    texts[9] = "\rcompany\r";
    texts[10] = "9999-12-31 23:59:59";
    texts[13] = "1601-01-02";
    ASSERT_EQ(writePackageRows(path, texts, props::kAllRows), Failure{});
    EXPECT_EQ(ReadPackageProperties(path), texts);
}

TEST_F(PackageWrite, SingleChangeIntoADefaultNamespacePartAddsNoSecondElement)
{
    const fs::path path = packageFile(packageBytes(
        relationshipsPart(), extendedPart(""),
        defaultNamespaceCorePart("<dc:title>Old</dc:title><category>Old</category><lastModifiedBy>Old</lastModifiedBy>")));
    ASSERT_TRUE(package::WritePackageProperties(path, kFullRows, props::kAllRows));
    EXPECT_EQ(package::ReadPackageProperties(path), kFullRows);
    const std::string core = partText(path, "docProps\\core.xml");
    EXPECT_EQ(core.find("cp:"), std::string::npos) << core;
    EXPECT_EQ(core.find("<category>Finance</category>"), core.rfind("<category>")) << core;
    EXPECT_NE(core.find(R"(<dcterms:created xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" )"
                        R"(xsi:type="dcterms:W3CDTF">2010-03-04T05:06:07Z</dcterms:created>)"),
              std::string::npos)
        << core;
}

// Only parts that change are stored: a write that changes no value leaves the file as it was,
// the same file (inode) with the same bytes, whatever its parts' layout.
TEST_F(PackageWrite, AWriteThatChangesNothingWritesNothing)
{
    props::RowSelection companyOnly{};
    companyOnly[9] = true;
    const struct {
        const char* what;
        std::string bytes;
        props::RowSelection selected;
    } cases[] = {
        {"no row selected", packageBytes(relationshipsPart(), extendedPart(fullExtendedChildren()), corePart("")),
         props::RowSelection{}},
        {"every row given the value it has", packageBytes(relationshipsPart(), extendedPart(fullExtendedChildren()),
                                                          corePart(fullCoreChildren())),
         props::kAllRows},
        {"an indented part given its own value",
         packageBytes(relationshipsPart(), extendedPart("\r\n  <Company>Lomberk</Company>\r\n"),
                      corePart("\n <dc:title>T</dc:title>\n")),
         companyOnly},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path path = packageFile(c.bytes);
        const ino_t inode = statOf(path).st_ino;
        ASSERT_EQ(writePackageRows(path, kFullRows, c.selected), Failure{});
        EXPECT_TRUE(readFileBytes(path) == c.bytes);
        EXPECT_EQ(statOf(path).st_ino, inode) << "the file was replaced";
    }
}

TEST_F(PackageWrite, ThroughASymbolicLinkTheLinkedFileIsRewritten)
{
    const fs::path target = fullPackage();
    const fs::path link = scratch_.path() / "link.pptx";
    fs::create_symlink(target.filename(), link);
    props::RowTexts texts = kFullRows;
    texts[0] = "Through the link";
    ASSERT_TRUE(package::WritePackageProperties(link, texts, props::kAllRows));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(package::ReadPackageProperties(target), texts);
    EXPECT_EQ(filesInFolder(), 2);
}

// The failures that the reading side shares (missing parts and relationships, no archive, a
// read-only or locked file) are in package_failure_test.cpp; these are the write's own.
TEST_F(PackageWrite, RefusalsAndErrorsLeaveTheFileUntouched)
{
    const std::string rels = relationshipsPart();
    const std::string app = extendedPart(fullExtendedChildren());
    const std::string core = corePart(fullCoreChildren());
    auto without = [&](const std::string& name) {
        auto entries = packageEntries(rels, app, core);
        std::erase_if(entries, [&](const ZipBuilderEntry& e) { return e.name == name; });
        return buildZip(entries);
    };
    const struct {
        const char* what;
        std::string bytes;
        const char* reason;  // how the failure's text starts
    } cases[] = {
        {"extended part missing", without("docProps/app.xml"), "package part missing: docProps/app.xml"},
        {"both relationships name one entry", packageBytes(relationshipsPart("docProps/app.xml"), app, core),
         "damaged package: both property relationships name docProps/app.xml"},
        {"core part empty", packageBytes(rels, app, ""), "package part empty: docProps/core.xml"},
        {"extended part not well-formed", packageBytes(rels, "<Properties>", core),
         "package part not well-formed: docProps/app.xml: "},
        {"written element holds an element", packageBytes(rels, app, corePart("<dc:title><b/></dc:title>")),
         "The element 'dc:title' of the part 'docProps\\core.xml' does not hold a single text node"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path path = packageFile(c.bytes);
        const Failure failure = writePackageRows(path, kFullRows, props::kAllRows);
        EXPECT_TRUE(failure.text().starts_with(c.reason)) << failure.text();
        EXPECT_FALSE(package::WritePackageProperties(path, kFullRows, props::kAllRows));
        EXPECT_TRUE(readFileBytes(path) == c.bytes);
        EXPECT_EQ(filesInFolder(), 1);
    }

    // A reader in this process holds the file open: the writer is refused all the same.
    const fs::path path = fullPackage();
    const std::string original = readFileBytes(path);
    auto reader = PosixFile::open(path, OpenMode::ReadShared);
    ASSERT_TRUE(reader);
    EXPECT_EQ(writePackageRows(path, kFullRows, props::kAllRows), lockedByAnotherProgram());
    reader.reset();
    EXPECT_TRUE(readFileBytes(path) == original);
    EXPECT_EQ(filesInFolder(), 1);
}

TEST_F(PackageWrite, FailureAtEveryWriteLeavesTheOriginalUntouched)
{
    const fs::path path = fullPackage();
    ::chmod(path.c_str(), 0604);
    const std::string original = readFileBytes(path);
    props::RowTexts texts = kFullRows;
    texts[0] = "Changed";
    texts[8] = "Changed manager";
    for (int failAt = 1;; ++failAt) {
        ASSERT_LT(failAt, 50) << "the write never completed";
        std::optional<FaultyFile> faulty;
        const TargetWrapper wrap = [&](RandomAccessFile& inner) -> RandomAccessFile& {
            return faulty.emplace(inner, FaultyFile::Mode::FailOne, failAt, EIO);
        };
        const Failure failure = writePackageRows(path, texts, props::kAllRows, wrap);
        if (!faulty->triggered()) {
            ASSERT_EQ(failure, Failure{});
            break;
        }
        EXPECT_EQ(failure.text(), "input/output error") << "after failing call " << failAt;
        EXPECT_TRUE(readFileBytes(path) == original) << "after failing call " << failAt;
        EXPECT_EQ(filesInFolder(), 1) << "after failing call " << failAt;
    }
    EXPECT_EQ(package::ReadPackageProperties(path), texts);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0604u);
    EXPECT_EQ(filesInFolder(), 1);
}

}  // namespace
}  // namespace quorvane::package
