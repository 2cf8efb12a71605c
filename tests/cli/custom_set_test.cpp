// SPDX-License-Identifier: Apache-2.0
// quorvane-cli set --custom / --remove-custom / --remove-all-custom on copies of corpus .ppt
// files, with and without custom properties: read back by us and by olefile, every stream but
// DocumentSummaryInformation byte for byte, and its first section too.
#include <nlohmann/json.hpp>

#include "convert/iso_date_time.h"
#include "convert/display_text.h"
#include "convert/machine_date_text.h"

#include "tests/cli/cli_fixture.h"
#include "tests/support/cfb_olefile.h"

namespace quorvane::testing {
namespace {

class CustomSet : public Cli {};

nlohmann::json customOf(const CliRun& shown) { return nlohmann::json::parse(shown.out)[0]["custom"]; }

// The display text (C locale) of a value as show --json gives it.
std::string displayText(const nlohmann::json& value)
{
    if (value.is_boolean()) return value.get<bool>() ? "yes" : "no";
    if (!value.is_string()) return value.dump();
    const auto instant = convert::readRfc3339Text(value.get<std::string>());
    return instant ? convert::DateTimeToDisplayText(convert::localValueOfInstant(*instant)) : value.get<std::string>();
}

// The RFC 3339 text show --json gives a local "YYYY-MM-DD HH:MM".
std::string localInstant(const std::string& text)
{
    return convert::rfc3339TextOfLocal(*convert::parseIsoDateTime(text, convert::DateTimeShape::DateWithOptionalTime));
}

TEST_F(CustomSet, TypedValuesRoundTripAndLeaveEverythingElse)
{
    QUORVANE_REQUIRE_CORPUS();
    for (const std::string name : {"TestMickey.doc", "38256.ppt", "bug61881.ppt"}) {
        const std::string path = copyOf(name);
        const std::string original = path + ".orig";
        std::filesystem::copy_file(path, original);
        const auto before = customOf(run({"show", "--json", path}));
        ASSERT_EQ(run({"set", "--custom", "Project=Blue \xC3\xBC", "--custom", "Count:integer=-42", "--custom",
                       "Ratio:number=2.5", "--custom", "Done:yes-no=no", "--custom", "Due:date=2024-03-01 10:00"})
                      .status, 2) << "no file is a usage error";
        ASSERT_EQ(run({"set", "--custom", "Project=Blue \xC3\xBC", "--custom", "Count:integer=-42", "--custom",
                       "Ratio:number=2.5", "--custom", "Done:yes-no=no", "--custom", "Due:date=2024-03-01 10:00", path})
                      .status, 0) << name;
        nlohmann::json expected = before;
        for (const auto& [n, t, v] : {std::tuple{"Project", "text", nlohmann::json("Blue \xC3\xBC")}, {"Count", "integer", -42},
                                     {"Ratio", "number", 2.5}, {"Done", "yes-no", false},
                                     {"Due", "date", localInstant("2024-03-01 10:00")}})
            expected.push_back({{"name", n}, {"type", t}, {"value", v}});
        EXPECT_EQ(customOf(run({"show", "--json", path})), expected) << name;

        const nlohmann::json seen = olefileCompare(original, path);
        ASSERT_FALSE(seen.is_null());
        EXPECT_EQ(seen["changed"], nlohmann::json::array({"\x05" "DocumentSummaryInformation"})) << name;
        EXPECT_TRUE(seen["missing"].empty() && seen["added"].empty()) << name;
        ASSERT_FALSE(seen["props"]["DocumentSummaryInformation"].empty()) << name;
        EXPECT_EQ(seen["props"]["DocumentSummaryInformation"], olefileCompare(original, original)["props"]["DocumentSummaryInformation"])
            << name << ": the first section's values";

        // Names compare without letter case; replacing keeps the count.
        ASSERT_EQ(run({"set", "--custom", "PROJECT=Red", "--remove-custom", "count", path}).status, 0);
        const auto replaced = customOf(run({"show", "--json", path}));
        EXPECT_EQ(replaced.size(), expected.size() - 1) << name;
        EXPECT_NE(replaced.dump().find("\"Red\""), std::string::npos) << name;

        // A dry run applies the edits in order to what the file holds and changes nothing.
        const std::string bytes = readFileBytes(path);
        const CliRun dryRun = run({"set", "--dry-run", "--custom", "project=Green", "--remove-all-custom", "--custom",
                                   "Done:yes-no=yes", path});
        std::string expectedDryRun = path + ": would change\n";
        for (const auto& property : replaced) {
            const std::string propertyName = property["name"], value = displayText(property["value"]);
            expectedDryRun += "  Custom " + propertyName + ": '" + value + "' -> '" +
                              (propertyName == "Done" ? "yes" : "(removed)") + "'\n";
        }
        EXPECT_EQ(dryRun.out, expectedDryRun) << name;
        EXPECT_EQ(readFileBytes(path), bytes) << name;

        ASSERT_EQ(run({"set", "--remove-all-custom", path}).status, 0);
        EXPECT_TRUE(customOf(run({"show", "--json", path})).empty()) << name;
        const nlohmann::json after = olefileCompare(original, path);
        EXPECT_EQ(after["props"]["DocumentSummaryInformation"], seen["props"]["DocumentSummaryInformation"]) << name;
    }
}

TEST_F(CustomSet, AValueGivenWithoutATypeKeepsTheStoredType)
{
    QUORVANE_REQUIRE_CORPUS();
    for (const std::string name : {"38256.ppt", "sample.pptx"}) {
        const std::string path = copyOf(name);
        ASSERT_EQ(run({"set", "--custom", "Count:integer=1", "--custom", "Due:date=2024-03-01", path}).status, 0) << name;
        ASSERT_EQ(run({"set", "--custom", "count=7", "--custom", "Due=2025-01-02 03:04", "--custom", "Note=5", path}).status, 0)
            << name;
        const nlohmann::json expected = {{{"name", "Count"}, {"type", "integer"}, {"value", 7}},
                                         {{"name", "Due"}, {"type", "date"}, {"value", localInstant("2025-01-02 03:04")}},
                                         {{"name", "Note"}, {"type", "text"}, {"value", "5"}}};
        EXPECT_EQ(customOf(run({"show", "--json", path})), expected) << name;

        const std::string bytes = readFileBytes(path);
        const CliRun refused = run({"set", "--custom", "Count=ten", path});
        EXPECT_EQ(refused.status, 1) << name;
        EXPECT_NE(refused.err.find("'ten' is not a 32-bit integer (its stored type is integer)"), std::string::npos) << refused.err;
        EXPECT_TRUE(readFileBytes(path) == bytes) << name << ": refused, yet written";
        // A type given wins, and a property removed earlier on the command line is new again.
        ASSERT_EQ(run({"set", "--custom", "Count:text=ten", "--remove-custom", "Due", "--custom", "Due=soon", path}).status, 0);
        EXPECT_EQ(customOf(run({"show", "--json", path}))[0]["type"], "text") << name;
        EXPECT_EQ(customOf(run({"show", "--json", path}))[2]["value"], "soon") << name;
    }
}

TEST_F(CustomSet, BadValuesAreRefusedBeforeAnythingIsWritten)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::string path = copyOf("38256.ppt");
    const std::string bytes = readFileBytes(path);
    for (const std::string bad : {"N:integer=1.5", "N:integer=3000000000", "N:number=x", "N:yes-no=maybe",
                                  "N:date=2024-13-01", "N:colour=red", "=v", "novalue"})
        EXPECT_EQ(run({"set", "--custom", bad, path}).status, 2) << bad;
    EXPECT_EQ(readFileBytes(path), bytes);
}

TEST_F(CustomSet, ExportWithCustomAddsOneColumnPerNameAcrossTheFiles)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::string first = copyOf("38256.ppt");
    const std::string second = scratch_.path() / "second.ppt";
    std::filesystem::copy_file(first, second);
    ASSERT_EQ(run({"set", "--custom", "Zeta=1", "--custom", "alpha=x", first}).status, 0);
    ASSERT_EQ(run({"set", "--custom", "ALPHA=y", "--custom", "Beta:integer=7", second}).status, 0);
    const std::string missing = (scratch_.path() / "missing.ppt").string();

    const CliRun plain = run({"export", first, second});
    ASSERT_EQ(plain.status, 0) << plain.err;
    const CliRun custom = run({"export", "--custom", first, second, missing});
    EXPECT_EQ(custom.status, 1) << "the missing file";
    std::vector<std::string> plainLines, customLines;
    for (auto [text, lines] : {std::pair{&plain.out, &plainLines}, {&custom.out, &customLines}})
        for (std::size_t start = 0, end; (end = text->find("\r\n", start)) != std::string::npos; start = end + 2)
            lines->push_back(text->substr(start, end - start));
    ASSERT_EQ(plainLines.size(), 3u);
    ASSERT_EQ(customLines.size(), 4u);
    // The standard columns as without --custom; the names once each in their first spelling, in
    // byte order; a missing file's line has its names and as many empty fields as the header.
    const std::string added[] = {R"(,"Beta","Zeta","alpha")", R"(,"","1","x")", R"(,"7","","y")"};
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(customLines[i], plainLines[i] + added[i]) << i;
    std::string missingLine = "\"" + missing + "\",\"missing.ppt\"";
    for (int field = 2; field < 23 + 3; ++field) missingLine += ",\"\"";
    EXPECT_EQ(customLines[3], missingLine);
}

}  // namespace
}  // namespace quorvane::testing
