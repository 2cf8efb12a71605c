// SPDX-License-Identifier: Apache-2.0
// Every package of the shared corpus: the rows read equal the oracle's, and for every readable
// package a write of all 14 rows and a batch write of one row read back here and in Python's
// zipfile, with every other entry (the part a write leaves unchanged included) byte for byte as
// it was and every element that was not written kept.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <pugixml.hpp>
#include <string>

#include "props/catalogue.h"
#include "package/package_reader.h"
#include "package/package_writer.h"
#include "base/random_access_file.h"
#include "convert/w3c_date_time.h"
#include "zip/zip_central_dir.h"
#include "zip/zip_entry_extract.h"
#include "tests/support/corpus.h"
#include "tests/support/environment_guard.h"
#include "tests/support/zip_builder.h"
#include "tests/support/zip_python_check.h"

namespace quorvane::package {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using namespace quorvane::testing;

const props::RowTexts kWrittenRows = {"Written title", "Betreff \xC3\xBC", "Author & Co", "k1, k2", "  comment  ",
                               "Catagory <x>", "12", "Saver", "Manager \xE2\x9C\x93", "Written company",
                               "2021-05-06 07:08:09", "2022-01-02 03:04:05", "42", "2020-12-31 23:59:58"};

class PackageCorpus : public ::testing::Test {
protected:
    void SetUp() override { QUORVANE_REQUIRE_CORPUS(); }
    TimeZoneGuard zone_{"UTC"};
    TimeLocaleGuard locale_{"C"};
};

// The rows the oracle saw, or nullopt when the reader is to give nothing.
std::optional<props::RowTexts> oracleRows(const json& oracle)
{
    const json& zip = oracle.at("zip");
    if (!zip.value("opens", false)) return std::nullopt;
    for (const char* part : {"core", "app"}) {
        const json& p = zip.value(part, json());
        if (!p.is_object() || !p.value("found_by_target_as_written", false) || p.value("size", 0) == 0)
            return std::nullopt;
    }
    props::RowTexts rows;
    for (int row = 0; row < props::kRowCount; ++row) {
        const props::PropertyRow& r = props::catalogueRow(row);
        const json& element = zip.at(r.packagePart == props::PackagePart::Core ? "core" : "app")
                                  .at("elements")
                                  .at(std::string(r.elementName));
        if (!element.value("present", false)) continue;
        const std::string text = element.at("text");
        rows[row] = props::isDateTimeRow(row) ? convert::W3cDateTimeToDisplayText(text) : text;
    }
    return rows;
}

// The qualified names of the root's children, and the declaration, of a part inside a package.
struct PartShape {
    std::string declaration;
    std::vector<std::string> children;
};

PartShape shapeOf(const fs::path& package, const std::string& entryName)
{
    auto file = PosixFile::open(package, OpenMode::ReadShared);
    const auto directory = zip::ReadDirectory(*file);
    const std::string bytes = textOf(zip::ExtractEntryToMemory(*file, *directory, entryName));
    PartShape shape;
    shape.declaration = bytes.substr(0, bytes.find("?>") + 2);
    pugi::xml_document document;
    document.load_string(bytes.c_str());
    for (const pugi::xml_node child : document.document_element().children())
        if (child.type() == pugi::node_element) shape.children.push_back(child.name());
    return shape;
}

// A copy of a corpus file with the owner's write bit, as a change leaves it before writing.
fs::path writableCopy(const fs::path& original, const fs::path& copy)
{
    fs::copy_file(original, copy);
    fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add);
    return copy;
}

std::string targetOf(const json& oracle, const char* part)
{
    std::string target = oracle.at("zip").at(part).at("target");
    if (!target.empty() && target.front() == '/') target.erase(0, 1);
    return target;
}

TEST_F(PackageCorpus, ReadEqualsTheOracle)
{
    int readable = 0;
    for (const std::string& name : corpusFiles("zip")) {
        SCOPED_TRACE(name);
        const auto expected = oracleRows(oracleOf(name));
        const auto rows = package::ReadPackageProperties(corpusDir() / "files" / name);
        ASSERT_EQ(rows.has_value(), expected.has_value());
        if (!rows) continue;
        ++readable;
        for (int row = 0; row < props::kRowCount; ++row) EXPECT_EQ((*rows)[row], (*expected)[row]) << "row " << row;
    }
    EXPECT_GT(readable, 0);
}

TEST_F(PackageCorpus, WritesReadBackAndLeaveEverythingElseAsItWas)
{
    ScratchDir scratch;
    std::vector<RewrittenArchive> forPython;
    props::RowSelection titleOnly{};
    titleOnly[0] = true;
    for (const std::string& name : corpusFiles("zip")) {
        SCOPED_TRACE(name);
        const json oracle = oracleOf(name);
        const auto before = oracleRows(oracle);
        if (!before) continue;
        const std::string core = targetOf(oracle, "core");
        const std::string app = targetOf(oracle, "app");
        const fs::path original = corpusDir() / "files" / name;

        const fs::path single = writableCopy(original, scratch.path() / ("single-" + name));
        ASSERT_TRUE(package::WritePackageProperties(single, kWrittenRows, props::kAllRows));
        EXPECT_EQ(package::ReadPackageProperties(single), kWrittenRows);

        const fs::path batch = writableCopy(original, scratch.path() / ("batch-" + name));
        props::RowTexts batchRows{};
        batchRows[0] = "Batch title";
        batchRows[7] = "not written: unchecked";
        ASSERT_TRUE(package::WritePackageProperties(batch, batchRows, titleOnly));
        props::RowTexts expected = *before;
        expected[0] = "Batch title";
        EXPECT_EQ(package::ReadPackageProperties(batch), expected);

        for (const std::string& part : {core, app}) {
            const PartShape old = shapeOf(original, part);
            const PartShape batched = shapeOf(batch, part);
            EXPECT_EQ(batched.declaration, old.declaration) << part;
            std::vector<std::string> expectedChildren = old.children;
            if (part == core && std::find(old.children.begin(), old.children.end(), "dc:title") == old.children.end())
                expectedChildren.push_back("dc:title");
            EXPECT_EQ(batched.children, expectedChildren) << part;
            const PartShape written = shapeOf(single, part);
            EXPECT_EQ(written.declaration, old.declaration) << part;
            for (const std::string& child : old.children)
                EXPECT_NE(std::find(written.children.begin(), written.children.end(), child), written.children.end())
                    << child << " of " << part << " was lost";
        }
        forPython.push_back({original, single, {core, app},
                             {{core, {"Written title", "Betreff \xC3\xBC", "Author &amp; Co", "2021-05-06T07:08:09Z"}},
                              {app, {"Written company", "<TotalTime>42</TotalTime>"}}}});
        // Only the core part changed, so only it is stored: the extended part keeps its bytes.
        forPython.push_back({original, batch, {core}, {{core, {">Batch title<"}}}});
    }
    ASSERT_FALSE(forPython.empty());
    if (!pythonAvailable()) GTEST_SKIP() << "no /usr/bin/python3";
    EXPECT_EQ(problemsSeenByPython(fs::path(QUORVANE_SOURCE_DIR) / "tests/support/zip_compare.py", forPython), "");
}

TEST_F(PackageCorpus, WrittenPackagesOpenInLibreOffice)
{
    if (::access("/usr/bin/soffice", X_OK) != 0) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    ScratchDir scratch;
    const std::string name = "sample.pptx";
    const fs::path deck = writableCopy(corpusDir() / "files" / name, scratch.path() / name);
    ASSERT_TRUE(package::WritePackageProperties(deck, kWrittenRows, props::kAllRows));
    const std::string command = "cd '" + scratch.path().string() + "' && TZ=UTC /usr/bin/soffice -env:UserInstallation=file://" +
                                (scratch.path() / "profile").string() + " --headless --convert-to odp '" + name +
                                "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const fs::path converted = scratch.path() / "sample.odp";
    auto file = PosixFile::open(converted, OpenMode::ReadShared);
    ASSERT_TRUE(file);
    const auto directory = zip::ReadDirectory(*file);
    ASSERT_TRUE(directory);
    const std::string meta = textOf(zip::ExtractEntryToMemory(*file, *directory, "meta.xml"));
    for (const char* value : {"Written title", "Author &amp; Co", "2021-05-06T07:08:09"})
        EXPECT_NE(meta.find(value), std::string::npos) << value;
}

}  // namespace
}  // namespace quorvane::package
