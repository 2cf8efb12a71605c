// SPDX-License-Identifier: Apache-2.0
// Custom properties read from the corpus as the display reads them (document::DocumentEdit),
// compared with independent readers: the corpus oracle's own property-set parser for compound
// files, Python's zipfile and ElementTree for packages; one set through the change path in each
// format reads back after the ones the file held.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

#include "convert/date_time.h"
#include "convert/display_text.h"
#include "tests/support/content_change.h"
#include "tests/support/corpus.h"
#include "tests/support/document_reads.h"

namespace quorvane {
namespace {

using testing::corpusDir;

std::string shownType(int vt)
{
    switch (vt) {
    case 30:
    case 31: return "text";
    case 3: return "integer";
    case 5: return "number";
    case 11: return "yes-no";
    case 64: return "date";
    case 65: return "VT_BLOB";
    default: return "";
    }
}

// What the oracle's user-defined list says we should show, for the named values.
std::vector<props::CustomProperty> expectedFromOracle(const nlohmann::json& userDefined)
{
    std::vector<props::CustomProperty> expected;
    for (const auto& entry : userDefined) {
        if (!entry["name"].is_string()) continue;
        const int vt = entry["type"].get<int>();
        props::CustomProperty p{entry["name"].get<std::string>(), shownType(vt), ""};
        if (vt == 30 || vt == 31) p.value = entry["value"].get<std::string>();
        if (vt == 3) p.value = std::to_string(entry["value"].get<long long>());
        if (vt == 11) p.value = entry["value"].get<bool>() ? "yes" : "no";
        if (vt == 64) {
            const auto filetime = entry["value"].get<std::uint64_t>();
            p.value = filetime ? convert::DateTimeToDisplayText(convert::FileTimeToDateTime(filetime)) : "";
        }
        expected.push_back(p);
    }
    return expected;
}

TEST(CustomRowsRead, CompoundFilesShowWhatTheOracleFinds)
{
    QUORVANE_REQUIRE_CORPUS();
    int compared = 0;
    for (const std::string& name : testing::corpusFiles("cfb")) {
        const nlohmann::json record = testing::oracleOf(name);
        const auto& dsi = record["cfb"]["DocumentSummaryInformation"];
        if (!dsi.is_object() || !dsi.value("has_user_defined_section", false) || !dsi["parse_errors"].empty()) continue;
        nlohmann::json userDefined;
        for (const auto& section : dsi["sections"])
            if (section.contains("user_defined")) userDefined = section["user_defined"];
        const auto read = testing::documentCustom((corpusDir() / "files" / name).string());
        ASSERT_TRUE(read.ok()) << name << ": " << read.failure().text();
        EXPECT_EQ(*read, expectedFromOracle(userDefined)) << name;
        ++compared;
    }
    EXPECT_GE(compared, 20);
}

// name TAB local name of the value element TAB its text, one line per property, by Python.
std::string pythonCustomLines(const std::filesystem::path& package)
{
    const std::string script =
        "import sys,zipfile,xml.etree.ElementTree as E\n"
        "z=zipfile.ZipFile(sys.argv[1])\n"
        "rels=E.fromstring(z.read('_rels/.rels'))\n"
        "t=[r.get('Target') for r in rels if r.get('Type','').endswith('/custom-properties')]\n"
        "if t:\n"
        "  for p in E.fromstring(z.read(t[0].lstrip('/'))):\n"
        "    v=list(p)[0]; print(p.get('name'), v.tag.split('}')[1], v.text or '', sep='\\t')\n";
    const std::string command = "/usr/bin/python3 -c \"$QV_SCRIPT\" '" + package.string() + "'";
    ::setenv("QV_SCRIPT", script.c_str(), 1);
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

TEST(CustomRowsRead, PackagesShowWhatPythonFinds)
{
    QUORVANE_REQUIRE_CORPUS();
    int withCustom = 0;
    for (const std::string& name : testing::corpusFiles("zip")) {
        const auto path = corpusDir() / "files" / name;
        const auto read = testing::documentCustom(path.string());
        if (!read.ok()) continue;  // a package our row reader refuses too
        std::string lines;
        for (const props::CustomProperty& p : *read) {
            const std::string local = p.type == "text" ? "lpwstr" : p.type == "integer" ? "i4" : p.type == "yes-no" ? "bool" : p.type;
            const std::string value = p.type == "yes-no" ? (p.value == "yes" ? "true" : "false") : p.value;
            lines += p.name + "\t" + local + "\t" + value + "\n";
        }
        EXPECT_EQ(lines, pythonCustomLines(path)) << name;
        withCustom += !read->empty();
    }
    EXPECT_GE(withCustom, 5);
}

TEST(CustomRowsWrite, ASetPropertyIsAddedAfterTheOnesTheFileHoldsInBothFormats)
{
    QUORVANE_REQUIRE_CORPUS();
    testing::ScratchDir scratch;
    for (const char* name : {"sample.pptx", "38256.ppt"}) {
        const auto path = scratch.copyOfCorpusFile(name).string();
        const auto before = testing::documentCustom(path);
        ASSERT_TRUE(before.ok()) << name << ": " << before.failure().text();
        document::ContentRequest content;
        props::CustomEdit edit{props::CustomEdit::Kind::Set, "Reviewer", {}};
        edit.value.text = "Cleo";
        content.custom = {edit};
        const change::FileOutcome outcome = testing::changeContent(path, content);
        ASSERT_EQ(outcome.kind, change::FileOutcome::Kind::Changed) << name << ": " << outcome.failure.text();
        std::vector<props::CustomProperty> expected = *before;
        expected.push_back({"Reviewer", "text", "Cleo"});
        const auto read = testing::documentCustom(path);
        ASSERT_TRUE(read.ok()) << name << ": " << read.failure().text();
        EXPECT_EQ(*read, expected) << name;
    }
}

}  // namespace
}  // namespace quorvane
