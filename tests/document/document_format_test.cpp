// SPDX-License-Identifier: Apache-2.0
// The format of a file comes from its first bytes, whatever its name: copies of corpus packages
// named as any member of the presentation family (or as .ppt) read as Python's zipfile and XML
// parser saw them (the corpus oracle) and write as it checks them; copies of compound files
// named .pptx read and write as compound files; a macro-enabled package keeps its VBA part.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "convert/w3c_date_time.h"
#include "document/document_format.h"
#include "tests/support/cfb_olefile.h"
#include "tests/support/content_change.h"
#include "tests/support/corpus.h"
#include "tests/support/document_reads.h"
#include "tests/support/environment_guard.h"
#include "tests/support/package_builder.h"
#include "tests/support/zip_python_check.h"

namespace quorvane::document {
namespace {

namespace fs = std::filesystem;
using namespace quorvane::testing;

const std::string kCompoundFileSignature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

TEST(DocumentFormat, FirstBytesDecideAndTheExtensionOnlyForAnythingElse)
{
    ScratchDir scratch;
    const struct {
        const char* name;
        std::optional<std::string> content;  // nullopt: no such file
        DocumentFormat format;
    } cases[] = {
        {"cfb.pptx", kCompoundFileSignature + std::string(504, '\0'), DocumentFormat::CompoundFile},
        {"cfb.POTX", kCompoundFileSignature, DocumentFormat::CompoundFile},
        {"zip.ppt", std::string("PK\x03\x04", 4) + "rest", DocumentFormat::Package},
        {"empty-archive.pps", std::string("PK\x05\x06", 4) + std::string(18, '\0'), DocumentFormat::Package},
        {"short-cfb.pptx", kCompoundFileSignature.substr(0, 7), DocumentFormat::Package},
        {"spanned.ppt", std::string("PK\x07\x08", 4), DocumentFormat::CompoundFile},
        {"text.pptm", "hello", DocumentFormat::Package},
        {"text.ppt", "hello", DocumentFormat::CompoundFile},
        {"text.Ppsx", "hello", DocumentFormat::Package},
        {"text.xlsm", "hello", DocumentFormat::Package},
        {"text.ppt.bak", "PK", DocumentFormat::CompoundFile},
        {"empty.potm", "", DocumentFormat::Package},
        {"missing.ppsm", std::nullopt, DocumentFormat::Package},
        {"missing.pot", std::nullopt, DocumentFormat::CompoundFile},
    };
    for (const auto& c : cases) {
        const fs::path path = scratch.path() / c.name;
        if (c.content) writeFileBytes(path, *c.content);
        EXPECT_EQ(documentFormatOf(path.string()), c.format) << c.name;
    }
    // A folder and a FIFO are judged by name, and the FIFO is not waited on.
    fs::create_directory(scratch.path() / "folder.pptx");
    EXPECT_EQ(documentFormatOf((scratch.path() / "folder.pptx").string()), DocumentFormat::Package);
    ASSERT_EQ(::mkfifo((scratch.path() / "pipe.ppt").c_str(), 0600), 0);
    EXPECT_EQ(documentFormatOf((scratch.path() / "pipe.ppt").string()), DocumentFormat::CompoundFile);
}

// The rows Python's reader saw in a corpus package, or nullopt when the package is unreadable.
std::optional<props::RowTexts> oracleRows(const nlohmann::json& oracle)
{
    const nlohmann::json& zip = oracle.at("zip");
    if (!zip.value("opens", false)) return std::nullopt;
    for (const char* part : {"core", "app"}) {
        const nlohmann::json& p = zip.value(part, nlohmann::json());
        if (!p.is_object() || !p.value("found_by_target_as_written", false) || p.value("size", 0) == 0)
            return std::nullopt;
    }
    props::RowTexts rows;
    for (int row = 0; row < props::kRowCount; ++row) {
        const props::PropertyRow& r = props::catalogueRow(row);
        const nlohmann::json& element =
            zip.at(r.packagePart == props::PackagePart::Core ? "core" : "app").at("elements").at(std::string(r.elementName));
        if (!element.value("present", false)) continue;
        const std::string text = element.at("text");
        rows[row] = props::isDateTimeRow(row) ? convert::W3cDateTimeToDisplayText(text) : text;
    }
    return rows;
}

std::string targetOf(const nlohmann::json& oracle, const char* part)
{
    std::string target = oracle.at("zip").at(part).at("target");
    if (!target.empty() && target.front() == '/') target.erase(0, 1);
    return target;
}

fs::path copyAs(const fs::path& original, const fs::path& copy)
{
    fs::copy_file(original, copy);
    fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add);
    return copy;
}

class DocumentFormatCorpus : public ::testing::Test {
protected:
    void SetUp() override { QUORVANE_REQUIRE_CORPUS(); }
    TimeZoneGuard zone_{"UTC"};
    TimeLocaleGuard locale_{"C"};
    ScratchDir scratch_;
};

TEST_F(DocumentFormatCorpus, PackagesUnderEveryFamilyNameReadAsTheOracleAndWriteUnderAPptName)
{
    const char* const familyNames[] = {".potx", ".ppsx", ".pptm", ".ppsm", ".potm"};
    std::vector<RewrittenArchive> forPython;
    std::size_t index = 0;
    for (const std::string& name : corpusFiles("zip")) {
        SCOPED_TRACE(name);
        const nlohmann::json oracle = oracleOf(name);
        const auto expected = oracleRows(oracle);
        const fs::path original = corpusDir() / "files" / name;
        // Family members of the corpus keep their names; each .pptx also stands in for one of them.
        const fs::path stem = scratch_.path() / fs::path(name).stem();
        const bool isPptx = fs::path(name).extension() == ".pptx";
        const fs::path family = copyAs(original, isPptx ? fs::path(stem.string() + familyNames[index++ % 5]) : scratch_.path() / name);
        const fs::path asPpt = copyAs(original, stem.string() + ".renamed.ppt");
        for (const fs::path& copy : {family, asPpt}) {
            const auto rows = documentRowsOrFailure(copy.string());
            ASSERT_EQ(rows.ok(), expected.has_value()) << copy << " " << rows.failure().text();
            if (rows.ok()) {
                EXPECT_EQ(*rows, *expected) << copy;
            }
        }
        if (!expected) continue;
        const Failure changed = changeRows(asPpt.string(), {{0, "Renamed title"}});
        EXPECT_FALSE(changed.failed()) << changed.text();
        props::RowTexts afterWrite = *expected;
        afterWrite[0] = "Renamed title";
        EXPECT_EQ(documentRows(asPpt.string()), afterWrite);
        forPython.push_back({original, asPpt, {targetOf(oracle, "core"), targetOf(oracle, "app")},
                             {{targetOf(oracle, "core"), {">Renamed title<"}}}});
    }
    ASSERT_FALSE(forPython.empty());
    if (!pythonAvailable()) GTEST_SKIP() << "no /usr/bin/python3";
    EXPECT_EQ(problemsSeenByPython(fs::path(QUORVANE_SOURCE_DIR) / "tests/support/zip_compare.py", forPython), "");
}

TEST_F(DocumentFormatCorpus, CompoundFilesNamedAsPackagesReadAndWriteAsCompoundFiles)
{
    const RowTextChanges written{{0, "Title of a renamed file"}, {9, "Company of a renamed file"}};
    for (const std::string name : {"WithComments.ppt", "38256.ppt", "45537_Footer.ppt"}) {
        SCOPED_TRACE(name);
        const fs::path original = corpusDir() / "files" / name;
        const fs::path renamed = copyAs(original, scratch_.path() / (name + "x"));
        const auto before = documentRowsOrFailure(original.string());
        ASSERT_TRUE(before.ok()) << before.failure().text();
        EXPECT_EQ(documentRows(renamed.string()), *before);
        const Failure changed = changeRows(renamed.string(), written);
        ASSERT_FALSE(changed.failed()) << changed.text();

        const auto verdict = olefileCompare(original, renamed);
        if (verdict.is_null()) GTEST_SKIP() << "olefile is not available";
        EXPECT_TRUE(verdict["new_opens"].get<bool>()) << verdict.dump();
        EXPECT_TRUE(verdict["missing"].empty() && verdict["added"].empty()) << verdict.dump();
        EXPECT_EQ(verdict["props"]["SummaryInformation"]["2"], written[0].second);
        EXPECT_EQ(verdict["props"]["DocumentSummaryInformation"]["15"], written[1].second);
    }
}

TEST(DocumentFormatMacros, AMacroEnabledPackageKeepsItsVbaProjectPartByteForByte)
{
    ScratchDir scratch;
    std::vector<ZipBuilderEntry> entries =
        packageEntries(relationshipsPart(), extendedPart(fullExtendedChildren()), corePart(fullCoreChildren()));
    std::string vbaProject(3000, '\0');
    for (std::size_t i = 0; i < vbaProject.size(); ++i) vbaProject[i] = char((i * 131 + 7) % 251);
    vbaProject.replace(0, kCompoundFileSignature.size(), kCompoundFileSignature);
    entries.push_back({.name = "ppt/vbaProject.bin", .content = vbaProject});
    entries.push_back({.name = "ppt/_rels/vbaProject.bin.rels", .content = "<Relationships/>", .deflate = false});
    const fs::path original = scratch.path() / "original.pptm";
    writeFileBytes(original, buildZip(entries));
    const fs::path deck = scratch.path() / "deck.pptm";
    fs::copy_file(original, deck);

    const auto before = documentRows(deck.string());
    ASSERT_TRUE(before);
    props::RowTexts rows = *before;
    rows[0] = "Macro deck";
    rows[9] = "Macro company";
    RowTextChanges all;
    for (int row = 0; row < props::kRowCount; ++row) all.emplace_back(row, rows[std::size_t(row)]);
    const Failure changed = changeRows(deck.string(), all);
    ASSERT_FALSE(changed.failed()) << changed.text();
    EXPECT_EQ(documentRows(deck.string()), rows);
    if (!pythonAvailable()) GTEST_SKIP() << "no /usr/bin/python3";
    // Every entry but the two property parts, the VBA project among them, keeps its method, CRC,
    // sizes and raw compressed bytes.
    EXPECT_EQ(problemsSeenByPython(fs::path(QUORVANE_SOURCE_DIR) / "tests/support/zip_compare.py",
                                   {{original, deck, {"docProps/core.xml", "docProps/app.xml"},
                                     {{"docProps/core.xml", {">Macro deck<"}}, {"docProps/app.xml", {">Macro company<"}}}}}),
              "");
}

}  // namespace
}  // namespace quorvane::document
