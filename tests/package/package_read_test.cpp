// SPDX-License-Identifier: Apache-2.0
// Reading the 14 rows from hand-made packages: prefixes and namespaces, missing and doubled
// elements, missing or damaged parts, missing relationships (empty rows), archive shapes, and
// malformed XML.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "package/package_reader.h"
#include "base/random_access_file.h"
#include "tests/support/corpus.h"
#include "tests/support/environment_guard.h"
#include "tests/support/package_builder.h"

namespace quorvane::package {
namespace {

using namespace quorvane::testing;

const props::RowTexts kFullRows = {"Quarterly", "Results", "Ada", "money, plans", "  spaced  ", "Finance", "7", "Bea",
                            "Cleo", "Lomberk", "2010-03-04 05:06:07", "2011-12-13 14:15:16", "125",
                            "2009-01-02 03:04:05"};

std::optional<props::RowTexts> readBytes(const std::string& bytes)
{
    ScratchDir scratch;
    const auto path = scratch.path() / "deck.pptx";
    writeFileBytes(path, bytes);
    return package::ReadPackageProperties(path);
}

props::RowTexts rowsWith(std::map<int, std::string> values)
{
    props::RowTexts rows;
    for (auto& [row, text] : values) rows[row] = text;
    return rows;
}

class PackageRead : public ::testing::Test {
    TimeZoneGuard zone_{"UTC"};
    TimeLocaleGuard locale_{"C"};
};

TEST_F(PackageRead, FindsElementsByNamespaceWhateverTheirPrefix)
{
    const std::string rels = relationshipsPart();
    const std::string app = extendedPart(fullExtendedChildren());
    const struct {
        const char* what;
        std::string extended;
        std::string core;
        props::RowTexts expected;
    } cases[] = {
        {"usual prefixes", app, corePart(fullCoreChildren()), kFullRows},
        {"core in a default namespace", app,
         defaultNamespaceCorePart("<dc:title>T</dc:title><category>C</category><lastModifiedBy>L</lastModifiedBy>"
                                  "<revision>3</revision><dcterms:created>2010-03-04T05:06:07Z</dcterms:created>"),
         rowsWith({{0, "T"}, {5, "C"}, {7, "L"}, {6, "3"}, {10, "2010-03-04 05:06:07"}, {8, "Cleo"}, {9, "Lomberk"},
                   {12, "125"}})},
        {"other prefixes",
         R"(<ep:Properties xmlns:ep="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties">)"
         "<ep:Company>Co</ep:Company></ep:Properties>",
         R"(<k:coreProperties xmlns:k="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" )"
         R"(xmlns:e="http://purl.org/dc/elements/1.1/"><e:title>T</e:title><k:category>C</k:category>)"
         R"(<e:subject xmlns:e="http://example.com/not-dublin-core">not a subject</e:subject></k:coreProperties>)",
         rowsWith({{0, "T"}, {5, "C"}, {9, "Co"}})},
        {"prefixes bound nowhere are matched as written", "<Properties><Manager>M</Manager></Properties>",
         "<cp:coreProperties><dc:title>T</dc:title><cp:category>C</cp:category></cp:coreProperties>",
         rowsWith({{0, "T"}, {5, "C"}, {8, "M"}})},
        {"first of two elements, deeper ones unseen", app,
         corePart("<dc:other><dc:title>deep</dc:title></dc:other><dc:title>first</dc:title><dc:title>second</dc:title>"),
         rowsWith({{0, "first"}, {8, "Cleo"}, {9, "Lomberk"}, {12, "125"}})},
        {"text kept untrimmed, CDATA, entities, empty elements", extendedPart("<Manager/><Company></Company>"),
         corePart("<dc:title> a &amp; b </dc:title><dc:subject><![CDATA[<raw>]]></dc:subject><dc:creator/>"
                  "<cp:keywords>line1\r\nline2</cp:keywords>"),
         rowsWith({{0, " a & b "}, {1, "<raw>"}, {3, "line1\nline2"}})},
        {"dates that are no W3C date-time are empty", app,
         corePart("<dcterms:created>2010-03-04T05:06:07</dcterms:created><dcterms:modified>garbage</dcterms:modified>"
                  "<cp:lastPrinted>2010-03-04T05:06:07.5Z</cp:lastPrinted>"),
         rowsWith({{8, "Cleo"}, {9, "Lomberk"}, {12, "125"}, {13, "2010-03-04 05:06:07"}})},
    };
    for (const auto& c : cases) {
        const auto rows = readBytes(packageBytes(rels, c.extended, c.core));
        ASSERT_TRUE(rows) << c.what;
        EXPECT_EQ(*rows, c.expected) << c.what;
    }
}

TEST_F(PackageRead, ReadsEveryArchiveShapeAndRelationshipForm)
{
    const std::string app = extendedPart(fullExtendedChildren());
    const std::string core = corePart(fullCoreChildren());
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"ZIP64", packageBytes(relationshipsPart(), app, core, {.zip64 = true})},
        {"parts with data descriptors, stored",
         buildZip({{.name = "_rels/.rels", .content = relationshipsPart(), .deflate = false, .dataDescriptor = true},
                   {.name = "docProps/app.xml", .content = app, .deflate = false, .dataDescriptor = true},
                   {.name = "docProps/core.xml", .content = core, .dataDescriptor = true}})},
        {"lower-case officedocument core type",
         packageBytes(relationshipsPart("docProps/core.xml", "docProps/app.xml",
                                        "http://schemas.openxmlformats.org/officedocument/2006/relationships/metadata/"
                                        "core-properties"),
                      app, core)},
        {"targets in other letter case and with backslashes",
         packageBytes(relationshipsPart("DOCPROPS/Core.XML", "docProps\\app.xml"), app, core)},
        {"UTF-16 parts with byte-order marks",
         packageBytes(relationshipsPart(), app,
                      [&] {
                          std::string utf16 = "\xFF\xFE";
                          std::string text = core;
                          text.replace(text.find("UTF-8"), 5, "UTF-16");
                          for (const char c : text) utf16 += std::string{c, '\0'};
                          return utf16;
                      }())},
    };
    for (const auto& c : cases) {
        const auto rows = readBytes(c.bytes);
        ASSERT_TRUE(rows) << c.what;
        EXPECT_EQ(*rows, kFullRows) << c.what;
    }
}

// A part the package has no relationship to is no part of it (ECMA-376 Part 2, 9.3): its rows
// are empty, whatever an entry of its usual name holds.
TEST_F(PackageRead, APropertyPartWithoutItsRelationshipGivesEmptyRows)
{
    const std::string app = extendedPart(fullExtendedChildren());
    const std::string core = corePart(fullCoreChildren());
    props::RowTexts coreRowsOnly = kFullRows;
    for (const int row : {8, 9, 12}) coreRowsOnly[row] = "";
    const props::RowTexts extendedRowsOnly = rowsWith({{8, "Cleo"}, {9, "Lomberk"}, {12, "125"}});
    const struct {
        const char* what;
        std::string bytes;
        props::RowTexts expected;
    } cases[] = {
        {"no extended relationship", packageBytes(relationshipsPart("docProps/core.xml", "", kCoreType, ""), app, core),
         coreRowsOnly},
        {"no core relationship", packageBytes(relationshipsPart("", "docProps/app.xml", ""), app, core), extendedRowsOnly},
        {"relationship without target", packageBytes(relationshipsPart("", "docProps/app.xml"), app, core),
         extendedRowsOnly},
        {"core relationship of another type",
         packageBytes(relationshipsPart("docProps/core.xml", "docProps/app.xml",
                                        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/core-properties"),
                      app, core),
         extendedRowsOnly},
    };
    for (const auto& c : cases) EXPECT_EQ(readBytes(c.bytes), c.expected) << c.what;
}

TEST_F(PackageRead, GivesNothingWhenAPartIsMissingOrDamaged)
{
    const std::string rels = relationshipsPart();
    const std::string app = extendedPart(fullExtendedChildren());
    const std::string core = corePart(fullCoreChildren());
    auto without = [](std::vector<ZipBuilderEntry> entries, const std::string& name) {
        std::erase_if(entries, [&](const ZipBuilderEntry& e) { return e.name == name; });
        return buildZip(entries);
    };
    auto renamed = [](std::vector<ZipBuilderEntry> entries, const std::string& from, const std::string& to) {
        for (auto& e : entries)
            if (e.name == from) e.name = to;
        return buildZip(entries);
    };
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"leading slash is not resolved", packageBytes(relationshipsPart("/docProps/core.xml"), app, core)},
        {"extended part empty", packageBytes(rels, "", core)},
        {"core part empty", packageBytes(rels, app, "")},
        {"core part missing", without(packageEntries(rels, app, core), "docProps/core.xml")},
        {"extended part missing", without(packageEntries(rels, app, core), "docProps/app.xml")},
        {"relationships part missing", without(packageEntries(rels, app, core), "_rels/.rels")},
        {"relationships part in capitals", renamed(packageEntries(rels, app, core), "_rels/.rels", "_RELS/.rels")},
        {"relationships part empty", packageBytes("", app, core)},
        {"core part twice when case is ignored",
         [&] {
             auto entries = packageEntries(rels, app, core);
             entries.push_back({.name = "docprops/CORE.xml", .content = core});
             return buildZip(entries);
         }()},
        {"zip bomb as core part",
         [&] {
             auto entries = packageEntries(rels, app, core);
             entries[4].content = core + std::string(8 << 20, ' ');
             entries[4].statedSize = std::uint32_t(core.size());
             return buildZip(entries);
         }()},
        {"core part past the inflate cap", packageBytes(rels, app, core + std::string((64 << 20) + 1, ' '))},
        {"core part fails its CRC",
         [&] {
             auto entries = packageEntries(rels, app, core);
             entries[4].statedCrc = 0xDEADBEEF;
             return buildZip(entries);
         }()},
        {"not a ZIP file named .pptx", "<html>this is a web page saved as deck.pptx</html>"},
        {"empty file", ""},
    };
    for (const auto& c : cases) EXPECT_FALSE(readBytes(c.bytes)) << c.what;

    ScratchDir scratch;
    EXPECT_FALSE(package::ReadPackageProperties(scratch.path() / "no such file.pptx"));
    EXPECT_FALSE(package::ReadPackageProperties(scratch.path()));  // a folder
}

// Malformed XML and an element holding more than text give no rows, with the part named.
TEST_F(PackageRead, MalformedXmlAndElementsWithMoreThanTextGiveTheirReason)
{
    const std::string rels = relationshipsPart();
    const std::string app = extendedPart(fullExtendedChildren());
    const struct {
        const char* what;
        std::string bytes;
        const char* reason;  // how the failure's text starts
    } cases[] = {
        {"core part cut short", packageBytes(rels, app, corePart("<dc:title>T</dc:title>").substr(0, 200)),
         "package part not well-formed: docProps/core.xml: "},
        {"extended part with mismatched tags", packageBytes(rels, "<Properties><Manager>M</Company></Properties>",
                                                            corePart("")),
         "package part not well-formed: docProps/app.xml: "},
        {"relationships part without a root", packageBytes("<?xml version=\"1.0\"?>", app, corePart("")),
         "package part not well-formed: _rels/.rels: "},
        {"element holding an element", packageBytes(rels, app, corePart("<dc:title><b>T</b></dc:title>")),
         "The element 'dc:title' of the part 'docProps\\core.xml' does not hold a single text node"},
        {"element holding text and a comment",
         packageBytes(rels, app, corePart("<cp:category>a<!-- note -->b</cp:category>")), "The element 'cp:category'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir scratch;
        const auto path = scratch.path() / "deck.pptx";
        writeFileBytes(path, c.bytes);
        const auto rows = readPackageRows(path);
        ASSERT_FALSE(rows.ok());
        EXPECT_TRUE(rows.failure().text().starts_with(c.reason)) << rows.failure().text();
        EXPECT_FALSE(ReadPackageProperties(path));
    }
}

TEST_F(PackageRead, DocumentTypesExpandNoEntityAndResolveNothing)
{
    const std::string doctype =
        "<!DOCTYPE cp:coreProperties [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY secret SYSTEM \"file:///etc/hostname\">]>";
    std::string core = corePart("<dc:title>&c;</dc:title><dc:subject>&secret;</dc:subject><dc:creator>&amp;&#65;</dc:creator>");
    core.insert(core.find("?>") + 2, doctype);
    const auto rows = readBytes(packageBytes(relationshipsPart(), extendedPart(""), core));
    ASSERT_TRUE(rows);
    EXPECT_EQ((*rows)[0], "&c;");
    EXPECT_EQ((*rows)[1], "&secret;");
    EXPECT_EQ((*rows)[2], "&A");  // the predefined entities and character references are read
}

// Every truncation and single-byte corruption of a package gives rows or nothing, never a crash
// or a throw; when rows come back they are the package's own (the CRC guards each part).
TEST_F(PackageRead, DamagedPackagesNeverCrash)
{
    const std::string good =
        packageBytes(relationshipsPart(), extendedPart(fullExtendedChildren()), corePart(fullCoreChildren()));
    ScratchDir scratch;
    const auto path = scratch.path() / "deck.pptx";
    auto check = [&](const std::string& bytes, const std::string& what) {
        std::filesystem::remove(path);  // a new file: truncating one in place makes ext4 flush it
        writeFileBytes(path, bytes);
        if (const auto rows = package::ReadPackageProperties(path)) {
            EXPECT_EQ(*rows, kFullRows) << what;
        }
    };
    for (std::size_t length = 0; length < good.size(); length += 7) check(good.substr(0, length), "cut");
    for (std::size_t at = 0; at < good.size(); ++at) {
        std::string damaged = good;
        damaged[at] = char(damaged[at] ^ 0x21);
        check(damaged, "byte " + std::to_string(at));
    }
}

TEST_F(PackageRead, ALockedPackageIsNotRead)
{
    ScratchDir scratch;
    const auto path = scratch.path() / "deck.pptx";
    writeFileBytes(path, packageBytes(relationshipsPart(), extendedPart(""), corePart("")));
    auto writer = PosixFile::open(path, OpenMode::ReadWriteExclusive);
    ASSERT_TRUE(writer);
    EXPECT_FALSE(package::ReadPackageProperties(path));
    ASSERT_TRUE(writer->close());
    EXPECT_TRUE(package::ReadPackageProperties(path));
}

}  // namespace
}  // namespace quorvane::package
