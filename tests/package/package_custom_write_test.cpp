// SPDX-License-Identifier: Apache-2.0
// Writing the custom properties of packages: each type set on corpus packages with and without a
// custom part, read back by us and by exiftool, every other entry byte-identical for Python's
// zipfile; replacing, removing, removing all (part, relationship and override go); refusals and a
// failed rewrite leave the file byte-identical.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "convert/date_time.h"
#include "convert/display_text.h"
#include "package/custom_part.h"
#include "package/custom_part_write.h"
#include "package/package_edit.h"
#include "tests/support/corpus.h"
#include "tests/support/document_reads.h"
#include "tests/support/environment_guard.h"
#include "tests/support/faulty_file.h"
#include "tests/support/package_builder.h"
#include "tests/support/zip_python_check.h"

namespace quorvane::package {
namespace {

namespace fs = std::filesystem;
using namespace quorvane::testing;
using Kind = props::CustomEdit::Kind;

constexpr std::uint64_t kDue = 133'000'000'000'000'000;  // 2022-06-18 04:26:40 UTC

props::CustomEdit set(std::string name, std::string_view type)
{
    props::CustomEdit edit{Kind::Set, std::move(name), {}};
    edit.value.type = type;
    return edit;
}

// One edit of each type, and what we, exiftool and the part show for it.
struct TypedCase {
    props::CustomEdit edit;
    std::string shown;        // our reader's value text
    nlohmann::json exiftool;  // exiftool's value
    std::string stored;       // the value element in the part
};

std::vector<TypedCase> typedCases()
{
    std::vector<TypedCase> cases;
    auto text = set("QvClient", props::kCustomText);
    text.value.text = "Lomberk & S\xC3\xB6hne <x>";
    cases.push_back({text, text.value.text, text.value.text, "<vt:lpwstr>Lomberk &amp; S\xC3\xB6hne &lt;x&gt;</vt:lpwstr>"});
    auto integer = set("QvCount", props::kCustomInteger);
    integer.value.integer = -42;
    cases.push_back({integer, "-42", -42, "<vt:i4>-42</vt:i4>"});
    auto number = set("QvRatio", props::kCustomNumber);
    number.value.number = 0.1;
    cases.push_back({number, "0.1", 0.1, "<vt:r8>0.1</vt:r8>"});
    auto yesNo = set("QvApproved", props::kCustomYesNo);
    yesNo.value.yesNo = true;
    cases.push_back({yesNo, "yes", true, "<vt:bool>true</vt:bool>"});
    auto date = set("QvDue", props::kCustomDate);
    date.value.filetime100ns = kDue;
    cases.push_back({date, "2022-06-18 04:26:40", "2022:06:18 04:26:40Z", "<vt:filetime>2022-06-18T04:26:40Z</vt:filetime>"});
    return cases;
}

std::vector<props::CustomProperty> customOf(const fs::path& path)
{
    auto read = testing::documentCustom(path.string());
    EXPECT_TRUE(read.ok()) << path << ": " << read.failure().text();
    return read.ok() ? *read : std::vector<props::CustomProperty>{};
}

// The custom edits made and committed through the package edit, as the change path makes them.
Failure editCustom(const fs::path& path, std::span<const props::CustomEdit> edits, const TargetWrapper& wrap = {})
{
    auto edit = PackageEdit::open(path.string(), true, nullptr);
    if (!edit.ok()) return edit.failure();
    if (Failure refused = edit->editCustomProperties(edits); refused.failed()) return refused;
    return edit->commit(nullptr, wrap);
}

fs::path zipCompareScript() { return fs::path(QUORVANE_SOURCE_DIR) / "tests/support/zip_compare.py"; }

class PackageCustomWrite : public ::testing::Test {
protected:
    // A corpus copy and a copy of that copy kept as the original.
    fs::path copyWithOriginal(const std::string& name)
    {
        const fs::path path = scratch_.copyOfCorpusFile(name);
        fs::copy_file(path, path.string() + ".original");
        return path;
    }

    ScratchDir scratch_;
    TimeZoneGuard zone_{"UTC"};
    TimeLocaleGuard locale_{"C"};
};

TEST_F(PackageCustomWrite, SetsEachTypeReadBackByUsExiftoolAndPython)
{
    QUORVANE_REQUIRE_CORPUS();
    const auto cases = typedCases();
    std::vector<props::CustomEdit> edits;
    for (const TypedCase& c : cases) edits.push_back(c.edit);
    std::vector<RewrittenArchive> forPython;
    for (const char* name : {"45541_Header.pptx", "60810.pptx", "bug65228.pptx", "sample.pptx", "WithMaster.pptx"}) {
        SCOPED_TRACE(name);
        const fs::path path = copyWithOriginal(name);
        std::vector<props::CustomProperty> expected = customOf(path);
        const bool hadPart = !expected.empty();
        for (const TypedCase& c : cases) expected.push_back({c.edit.name, std::string(c.edit.value.type), c.shown});

        ASSERT_EQ(editCustom(path, edits), Failure{});
        EXPECT_EQ(customOf(path), expected);
        if (exiftoolAvailable()) {
            const nlohmann::json tags = exiftoolTags(path);
            ASSERT_TRUE(tags.is_object());
            for (const TypedCase& c : cases) EXPECT_EQ(tags.value(c.edit.name, nlohmann::json()), c.exiftool) << c.edit.name;
        }
        std::vector<std::string> stored;
        for (const TypedCase& c : cases) stored.push_back(c.stored);
        if (hadPart) {
            forPython.push_back({path.string() + ".original", path, {"docProps/custom.xml"}, {{"docProps/custom.xml", stored}}});
            continue;
        }
        forPython.push_back({path.string() + ".original", path, {"[Content_Types].xml", "_rels/.rels"},
                             {{"docProps/custom.xml", stored},
                              {"_rels/.rels", {R"(Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties" Target="docProps/custom.xml")"}},
                              {"[Content_Types].xml", {R"(<Override PartName="/docProps/custom.xml" ContentType="application/vnd.openxmlformats-officedocument.custom-properties+xml"/>)"}}},
                             {},
                             {"docProps/custom.xml"}});
    }
    if (!pythonAvailable()) GTEST_SKIP() << "no /usr/bin/python3";
    EXPECT_EQ(problemsSeenByPython(zipCompareScript(), forPython), "");
}

TEST_F(PackageCustomWrite, ReplacesInPlaceRemovesAndRemovesAll)
{
    QUORVANE_REQUIRE_CORPUS();
    const fs::path path = copyWithOriginal("45541_Header.pptx");
    const auto before = customOf(path);
    ASSERT_GE(before.size(), 3u);
    ASSERT_EQ(before[1].type, "integer");

    // A name in other letter case replaces the property at its place, under its pid and stored
    // name; the value and its type are the edit's.
    auto replacement = set(before[1].name, props::kCustomText);
    for (char& c : replacement.name) c = char(std::toupper(static_cast<unsigned char>(c)));
    replacement.value.text = "replaced";
    const props::CustomEdit removal{Kind::Remove, before[2].name, {}};
    const props::CustomEdit edits[] = {replacement, removal};
    ASSERT_EQ(editCustom(path, edits), Failure{});
    auto expected = before;
    expected[1] = {before[1].name, "text", "replaced"};
    expected.erase(expected.begin() + 2);
    EXPECT_EQ(customOf(path), expected);
    EXPECT_NE(partTextOf(path, "docProps/custom.xml").find(R"(pid="3" name=")" + before[1].name + R"("><vt:lpwstr>replaced<)"),
              std::string::npos);

    const std::string unchanged = readFileBytes(path);
    const props::CustomEdit absent[] = {{Kind::Remove, "no such property", {}}};
    EXPECT_EQ(editCustom(path, absent), Failure{});
    EXPECT_TRUE(readFileBytes(path) == unchanged) << "a change that changes nothing wrote the file";

    const props::CustomEdit all[] = {{Kind::RemoveAll, "", {}}};
    ASSERT_EQ(editCustom(path, all), Failure{});
    EXPECT_TRUE(customOf(path).empty());
    EXPECT_EQ(partTextOf(path, "_rels/.rels").find("custom-properties"), std::string::npos);
    EXPECT_EQ(partTextOf(path, "[Content_Types].xml").find("custom.xml"), std::string::npos);
    const std::string emptied = readFileBytes(path);
    EXPECT_EQ(editCustom(path, all), Failure{});
    EXPECT_TRUE(readFileBytes(path) == emptied);
    if (!pythonAvailable()) GTEST_SKIP() << "no /usr/bin/python3";
    EXPECT_EQ(problemsSeenByPython(zipCompareScript(), {{path.string() + ".original", path,
                                                         {"[Content_Types].xml", "_rels/.rels"}, {}, {"docProps/custom.xml"}}}),
              "");
}

TEST_F(PackageCustomWrite, RemovingTheLastPropertyRemovesThePart)
{
    QUORVANE_REQUIRE_CORPUS();
    const fs::path path = copyWithOriginal("bug65228.pptx");
    ASSERT_EQ(customOf(path).size(), 1u);
    const props::CustomEdit removal[] = {{Kind::Remove, "contenttypeid", {}}};
    ASSERT_EQ(editCustom(path, removal), Failure{});
    EXPECT_TRUE(customOf(path).empty());
    EXPECT_EQ(partTextOf(path, "docProps/custom.xml"), "");
    EXPECT_EQ(partTextOf(path, "[Content_Types].xml").find("/docProps/custom.xml"), std::string::npos);
}

// A part with its own prefixes: a new property takes them, pid one past the largest, and a value
// of another type keeps its elements.
TEST_F(PackageCustomWrite, NewPropertiesFollowThePartsPrefixesAndOtherTypesStay)
{
    constexpr const char* kVector =
        R"(<v:vector size="2" baseType="lpwstr"><v:lpwstr>a</v:lpwstr><v:lpwstr>b</v:lpwstr></v:vector>)";
    // A package whose custom part holds one vt:vector property with `pid`.
    const auto packageWithTags = [this, kVector](const std::string& pid) {
        std::string relationships = relationshipsPart();
        relationships.insert(relationships.find("</Relationships>"),
                             R"(<Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties" Target="/docProps/custom.xml"/>)");
        auto entries = packageEntries(relationships, extendedPart(""), corePart(""));
        entries.push_back({.name = "docProps/custom.xml",
                           .content = std::string(R"(<op:Properties xmlns:op="http://schemas.openxmlformats.org/officeDocument/2006/custom-properties" )"
                                                  R"(xmlns:v="http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes">)"
                                                  R"(<op:property fmtid="{D5CDD505-2E9C-101B-9397-08002B2CF9AE}" pid=")") +
                                      pid + R"(" name="Tags">)" + kVector + "</op:property></op:Properties>"});
        const fs::path path = scratch_.path() / ("prefixed-" + pid + ".pptx");
        writeFileBytes(path, buildZip(entries));
        fs::copy_file(path, path.string() + ".original");
        return path;
    };
    auto memo = set("Memo", props::kCustomText);
    memo.value.text = "x";
    const props::CustomEdit edits[] = {memo};

    // The largest pid an xsd:int holds leaves no next one: the smallest free pid is taken.
    const fs::path fullPids = packageWithTags("2147483647");
    ASSERT_EQ(editCustom(fullPids, edits), Failure{});
    EXPECT_NE(partTextOf(fullPids, "docProps/custom.xml").find(R"(pid="2" name="Memo")"), std::string::npos);

    const fs::path path = packageWithTags("5");
    ASSERT_EQ(editCustom(path, edits), Failure{});
    EXPECT_EQ(customOf(path), (std::vector<props::CustomProperty>{{"Tags", "vt:vector", ""}, {"Memo", "text", "x"}}));
    if (!pythonAvailable()) GTEST_SKIP() << "no /usr/bin/python3";
    EXPECT_EQ(problemsSeenByPython(zipCompareScript(),
                                   {{path.string() + ".original", path, {"docProps/custom.xml"},
                                     {{"docProps/custom.xml", {kVector, R"(<op:property fmtid="{D5CDD505-2E9C-101B-9397-08002B2CF9AE}" pid="6" name="Memo"><v:lpwstr>x</v:lpwstr></op:property>)"}}}}}),
              "");
}

// Refusals name their reason and leave the file byte-identical.
TEST_F(PackageCustomWrite, RefusalsLeaveTheFileAlone)
{
    QUORVANE_REQUIRE_CORPUS();
    auto control = set("Memo", props::kCustomText);
    control.value.text = "line\x0B";
    auto farDate = set("Far", props::kCustomDate);
    farDate.value.filetime100ns = ~std::uint64_t{0};
    const auto zeroDate = set("Zero", props::kCustomDate);  // FILETIME 0: no date to readers
    const struct {
        std::string file;
        props::CustomEdit edit;
        std::string reason;
    } cases[] = {
        {"sample.pptx", control, "text cannot be stored in a package part: control character U+000B in custom property Memo"},
        {"sample.pptx", farDate, "custom property Far cannot be stored: a date must lie from 1601-01-01 00:00:01 to 9999-12-31 23:59:59 UTC"},
        {"sample.pptx", zeroDate, "custom property Zero cannot be stored: a date must lie from 1601-01-01 00:00:01 to 9999-12-31 23:59:59 UTC"},
        {"sample.pptx", set("", props::kCustomText), "custom property without a name"},
        {"read-only", set("Memo", props::kCustomText), "read-only"},
        {"doctype", set("Memo", props::kCustomText), "package part declares a document type: docProps/custom.xml"},
        {"dangling", set("Memo", props::kCustomText), "package part missing: docProps/custom.xml"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        fs::path path = scratch_.copyOfCorpusFile("bug65228.pptx");
        if (c.file == "read-only") ::chmod(path.c_str(), 0444);
        if (c.file == "doctype" || c.file == "dangling") {
            std::string relationships = relationshipsPart();
            relationships.insert(relationships.find("</Relationships>"),
                                 R"(<Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties" Target="docProps/custom.xml"/>)");
            auto entries = packageEntries(relationships, extendedPart(""), corePart(""));
            if (c.file == "doctype")
                entries.push_back({.name = "docProps/custom.xml", .content = R"(<!DOCTYPE Properties [<!ENTITY e "x">]><Properties/>)"});
            writeFileBytes(path, buildZip(entries));
        }
        const std::string original = readFileBytes(path);
        const props::CustomEdit edits[] = {c.edit};
        EXPECT_EQ(editCustom(path, edits).text(), c.reason);
        EXPECT_TRUE(readFileBytes(path) == original);
    }
}

// A rewrite that fails at any write, truncation or sync leaves the file byte-identical; the
// sequence then completes.
TEST_F(PackageCustomWrite, FailedRewriteLeavesTheFileByteIdentical)
{
    const fs::path path = scratch_.path() / "deck.pptx";
    writeFileBytes(path, packageBytes(relationshipsPart(), extendedPart(""), corePart("")));
    const std::string original = readFileBytes(path);
    auto edit = set("Memo", props::kCustomText);
    edit.value.text = "kept";
    const props::CustomEdit edits[] = {edit};
    for (int failAt = 1;; ++failAt) {
        ASSERT_LT(failAt, 50) << "the rewrite never completed";
        std::optional<FaultyFile> faulty;
        const TargetWrapper wrap = [&](RandomAccessFile& inner) -> RandomAccessFile& {
            return faulty.emplace(inner, FaultyFile::Mode::FailOne, failAt);
        };
        const Failure failure = editCustom(path, edits, wrap);
        if (!faulty->triggered()) {
            EXPECT_EQ(failure, Failure{});
            break;
        }
        EXPECT_EQ(failure.kind(), FailureKind::NoSpace) << failure.text();
        EXPECT_TRUE(readFileBytes(path) == original) << "call " << failAt;
    }
    EXPECT_EQ(customOf(path), (std::vector<props::CustomProperty>{{"Memo", "text", "kept"}}));
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch_.path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace quorvane::package
