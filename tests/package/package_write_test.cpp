// Writing rows into hand-made packages: which rows are written and how, the dates that are never
// emptied, and every way a write can fail, each leaving the file byte-identical with no
// temporary file behind, a failure at every write of the rewrite included.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>

#include "base/error.h"
#include "package/package_reader.h"
#include "package/package_writer.h"
#include "base/random_access_file.h"
#include "zip/zip_central_dir.h"
#include "zip/zip_entry_extract.h"
#include "tests/support/corpus.h"
#include "tests/support/environment_guard.h"
#include "tests/support/faulty_file.h"
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
         "date cannot be stored in a package part: Create Time/Date leaves the years 1 to 9999 in UTC"},
        {"last printed before year 1 in UTC", "Europe/Berlin", 13, "0001-01-01", "", FailureKind::Conversion,
         "date cannot be stored in a package part: Last Printed leaves the years 1 to 9999 in UTC"},
        {"a part that declares entities", "UTC", 0, "T", declaringEntities, FailureKind::Unsupported,
         "package part declares a document type: docProps/core.xml"},
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
    texts[13] = "0001-01-01";
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

TEST_F(PackageWrite, BothPartsAreStoredBackEvenWithNoRowSelected)
{
    const std::string indentedApp = extendedPart("\r\n  <Company>Lomberk</Company>\r\n");
    const fs::path path = packageFile(packageBytes(relationshipsPart(), indentedApp, corePart("\n <dc:title>T</dc:title>\n")));
    ASSERT_TRUE(package::WritePackageProperties(path, kFullRows, props::RowSelection{}));
    EXPECT_NE(partText(path, "docProps\\app.xml").find("<Template/><Company>Lomberk</Company><Application>"),
              std::string::npos);
    EXPECT_NE(partText(path, "docProps\\core.xml").find("><dc:title>T</dc:title></cp:coreProperties>"),
              std::string::npos);
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
        bool throws;
    } cases[] = {
        {"core part missing", without("docProps/core.xml"), false},
        {"extended part missing", without("docProps/app.xml"), false},
        {"core relationship missing", packageBytes(relationshipsPart("", "docProps/app.xml", ""), app, core), false},
        {"both relationships name one entry", packageBytes(relationshipsPart("docProps/app.xml"), app, core), false},
        {"core part empty", packageBytes(rels, app, ""), false},
        {"not a ZIP file", "just text in a file named .pptx", false},
        {"core part not well-formed", packageBytes(rels, app, core.substr(0, core.size() - 5)), true},
        {"extended part not well-formed", packageBytes(rels, "<Properties>", core), true},
        {"written element holds an element", packageBytes(rels, app, corePart("<dc:title><b/></dc:title>")), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path path = packageFile(c.bytes);
        if (c.throws) {
            EXPECT_THROW(package::WritePackageProperties(path, kFullRows, props::kAllRows), Error);
        } else {
            EXPECT_FALSE(package::WritePackageProperties(path, kFullRows, props::kAllRows));
        }
        EXPECT_TRUE(readFileBytes(path) == c.bytes);
        EXPECT_EQ(filesInFolder(), 1);
    }

    const fs::path path = fullPackage();
    const std::string original = readFileBytes(path);
    ::chmod(path.c_str(), 0444);
    EXPECT_FALSE(package::WritePackageProperties(path, kFullRows, props::kAllRows)) << "a read-only package is refused";
    ::chmod(path.c_str(), 0644);
    auto otherWriter = PosixFile::open(path, OpenMode::ReadShared);
    EXPECT_FALSE(package::WritePackageProperties(path, kFullRows, props::kAllRows)) << "a package in use is refused";
    otherWriter.reset();
    EXPECT_TRUE(readFileBytes(path) == original);
    EXPECT_FALSE(package::WritePackageProperties(scratch_.path() / "missing.pptx", kFullRows, props::kAllRows));
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
        try {
            ASSERT_TRUE(package::WritePackageProperties(path, texts, props::kAllRows, wrap));
            ASSERT_FALSE(faulty->triggered());
            break;
        } catch (const Error& error) {
            EXPECT_TRUE(faulty->triggered());
            EXPECT_NE(std::string(error.what()).find("Input/output error"), std::string::npos) << error.what();
        }
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
