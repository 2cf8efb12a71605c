// SPDX-License-Identifier: Apache-2.0
// The readers and writers of quorvane-cli called directly: strict date and time parsing and the
// one bound of stored dates, the text escaping and UTF-8 repair of its output, the formula guard
// of its CSV, and the refusals of export outputs.
#include <gtest/gtest.h>

#include <optional>

#include "change/custom_value_text.h"
#include "cli/csv_output.h"
#include "cli/custom_options.h"
#include "convert/iso_date_time.h"
#include "cli/export_options.h"
#include "cli/output_text.h"
#include "cli/set_options.h"
#include "convert/display_text.h"
#include "convert/storable_date.h"
#include "convert/utf8_sequence.h"
#include "document/ppt_rows.h"
#include "propset/custom_properties.h"
#include "tests/support/corpus.h"
#include "tests/support/environment_guard.h"

namespace quorvane::testing {
namespace {

using convert::DateTimeShape;

std::optional<convert::DateTime> at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return convert::encodeDateTime({year, month, day, hour, minute, second, 0});
}

TEST(CliDateArgument, AcceptsExactlyTheIsoFormsWithFieldsInRange)
{
    const struct {
        const char* text;
        DateTimeShape shape;
        std::optional<convert::DateTime> expected;  // nullopt: refused
    } cases[] = {
        {"2009-01-02", DateTimeShape::Date, at(2009, 1, 2)},
        {"2009-01-02", DateTimeShape::DateWithOptionalTime, at(2009, 1, 2)},
        {"2009-01-02 13:45", DateTimeShape::DateWithOptionalTime, at(2009, 1, 2, 13, 45)},
        {"2009-01-02T13:45:59", DateTimeShape::DateWithOptionalTime, at(2009, 1, 2, 13, 45, 59)},
        {"2024-02-29", DateTimeShape::Date, at(2024, 2, 29)},
        {"0001-01-01", DateTimeShape::Date, at(1, 1, 1)},
        {"23:59:59", DateTimeShape::TimeOfDay, at(1899, 12, 30, 23, 59, 59)},
        {"00:00", DateTimeShape::TimeOfDay, at(1899, 12, 30)},
        {"2009-1-2", DateTimeShape::Date, std::nullopt},
        {"2009-01-0213:45", DateTimeShape::DateWithOptionalTime, std::nullopt},
        {"2009-01-02 13:45", DateTimeShape::Date, std::nullopt},
        {"2009-01-02T", DateTimeShape::DateWithOptionalTime, std::nullopt},
        {"2009-01-02x13:45", DateTimeShape::DateWithOptionalTime, std::nullopt},
        {"2009-01-02 13:45:5", DateTimeShape::DateWithOptionalTime, std::nullopt},
        {" 2009-01-02", DateTimeShape::Date, std::nullopt},
        {"2009-01-02 ", DateTimeShape::Date, std::nullopt},
        {"2009/01/02", DateTimeShape::Date, std::nullopt},
        {"+009-01-02", DateTimeShape::Date, std::nullopt},
        {"2023-02-29", DateTimeShape::Date, std::nullopt},
        {"1900-02-29", DateTimeShape::Date, std::nullopt},
        {"2009-13-01", DateTimeShape::Date, std::nullopt},
        {"2009-00-10", DateTimeShape::Date, std::nullopt},
        {"2009-04-31", DateTimeShape::Date, std::nullopt},
        {"2009-01-00", DateTimeShape::Date, std::nullopt},
        {"0000-01-01", DateTimeShape::Date, std::nullopt},
        {"24:00", DateTimeShape::TimeOfDay, std::nullopt},
        {"12:60", DateTimeShape::TimeOfDay, std::nullopt},
        {"12:00:60", DateTimeShape::TimeOfDay, std::nullopt},
        {"1:2", DateTimeShape::TimeOfDay, std::nullopt},
        {"1:02", DateTimeShape::TimeOfDay, std::nullopt},
        {"12:00 ", DateTimeShape::TimeOfDay, std::nullopt},
        {"", DateTimeShape::TimeOfDay, std::nullopt},
        {"", DateTimeShape::Date, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto parsed = convert::parseIsoDateTime(c.text, c.shape);
        EXPECT_EQ(parsed.has_value(), c.expected.has_value()) << "'" << c.text << "'";
        if (parsed && c.expected) {
            EXPECT_DOUBLE_EQ(*parsed, *c.expected) << c.text;
        }
    }
}

// One bound for every stored date (convert/storable_date.h), the same instant in every zone:
// FILETIME 0 (1601-01-01 00:00:00 UTC, "no date" to readers) and what lies before it are refused
// with one message by the date options and custom dates of `set`, the window's custom dates and
// the .ppt writers; the first whole second after FILETIME 0 is taken.
TEST(DateBound, OneRuleAndOneMessageOnEveryPathInEveryZone)
{
    constexpr std::int64_t kFileTimeZeroMs = convert::kFirstStorableUtcMs - 1000;
    const auto refusal = [](const std::string& what) {
        return what + " cannot be stored: a date must lie from 1601-01-01 00:00:01 to 9999-12-31 23:59:59 UTC";
    };
    for (const char* zone : {"UTC", "Europe/Berlin"}) {
        SCOPED_TRACE(zone);
        TimeZoneGuard guard(zone);
        const auto localText = [](std::int64_t utcMs) { return convert::DateTimeToDisplayText(convert::utcEpochMsToDateTime(utcMs)); };
        const struct {
            std::string text;
            bool stored;
        } cases[] = {
            {localText(kFileTimeZeroMs), false},
            {"1601-01-01", false},  // FILETIME 0 in UTC, 1600 in UTC from Berlin
            {localText(convert::kFirstStorableUtcMs), true},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.text);
            const std::string expected = c.stored ? "" : refusal("'" + c.text + "'");
            std::string problem;
            cli::parseSetArguments({"--created", c.text, "deck.ppt"}, &problem);
            EXPECT_EQ(problem, c.stored ? "" : "set: --created: " + expected);
            problem.clear();
            cli::takeCustomOptions({"--custom", "Due:date=" + c.text}, &problem);
            EXPECT_EQ(problem, c.stored ? "" : "set: --custom: " + expected);
            const auto custom = change::customValueOfText(props::kCustomDate, c.text, convert::readDisplayText);
            EXPECT_EQ(custom.ok() ? "" : custom.failure().text(), expected);
        }
    }
    const auto written = document::pptRowWrite(props::kLastPrintedRow, props::RowValue::instantValue(kFileTimeZeroMs));
    EXPECT_EQ(written.ok() ? "" : written.failure().text(), refusal("Last Printed"));
    props::CustomEdit zeroDate{props::CustomEdit::Kind::Set, "Due", {}};
    zeroDate.value.type = props::kCustomDate;
    const auto custom = propset::streamWithCustomEdits(std::nullopt, std::span(&zeroDate, 1));
    EXPECT_EQ(custom.ok() ? "" : custom.failure().text(), refusal("custom property Due"));
}

TEST(CliOutputText, KeepsEachValueOnItsLineAndJsonAndCsvValidUtf8)
{
    const struct {
        std::string bytes;
        std::string escaped;  // escapedForLine
        std::string repaired;  // validUtf8
    } cases[] = {
        {"plain ÄÖ 日本", "plain ÄÖ 日本", "plain ÄÖ 日本"},
        {"a\nb\tc\rd", "a\\nb\\tc\\rd", "a\nb\tc\rd"},
        {"\x1b[31mred\\", "\\x1b[31mred\\\\", "\x1b[31mred\\"},
        {std::string("nul\0del\x7f", 8), "nul\\x00del\\x7f", std::string("nul\0del\x7f", 8)},
        {"c1 \xc2\x9b", "c1 \\u009b", "c1 \xc2\x9b"},
        {"bad \xff\xfe!", "bad \\xff\\xfe!", "bad \xEF\xBF\xBD\xEF\xBF\xBD!"},
        {"overlong \xc0\xaf", "overlong \\xc0\\xaf", "overlong \xEF\xBF\xBD\xEF\xBF\xBD"},
        {"surrogate \xed\xa0\x80", "surrogate \\xed\\xa0\\x80", "surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"cut \xe6\x97", "cut \\xe6\\x97", "cut \xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cli::escapedForLine(c.bytes), c.escaped) << c.bytes;
        EXPECT_EQ(cli::validUtf8(c.bytes), c.repaired) << c.bytes;
        EXPECT_TRUE(convert::isValidUtf8(cli::validUtf8(c.bytes))) << c.bytes;
        EXPECT_EQ(convert::isValidUtf8(c.bytes), c.bytes == c.repaired) << c.bytes;
    }
    EXPECT_EQ(cli::hexOfBytes("a\xff/"), "61ff2f");
}

TEST(CliCsvOutput, SafeFormulasPutAnApostropheBeforeFormulaStartsOnly)
{
    const struct {
        std::string line;
        std::string safe;
    } cases[] = {
        {R"x("=1+1","+x","-3","@SUM(A1)","plain","")x", R"x("'=1+1","'+x","'-3","'@SUM(A1)","plain","")x"},
        {"\"\tTab\",\"\rCR\",\"a=b\"", "\"'\tTab\",\"'\rCR\",\"a=b\""},
        {R"x("say ""=no""","""=quoted first""")x", R"x("say ""=no""","""=quoted first""")x"},
        {R"x("","=")x", R"x("","'=")x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cli::csvLineForOutput(c.line, true), c.safe) << c.line;
        EXPECT_EQ(cli::csvLineForOutput(c.line, false), c.line) << c.line;
    }
    EXPECT_EQ(cli::csvLineForOutput("\"\xff=\"", false), "\"\xEF\xBF\xBD=\"");
}

TEST(CliExportOptions, OutputComesFromOptionOrOlderCsvFormAndIsRefusedWhereItWouldHarm)
{
    const struct {
        std::vector<std::string> arguments;
        std::optional<std::string> output;  // nullopt: usage error
        std::vector<std::string> names;
    } cases[] = {
        {{"a.ppt"}, "", {"a.ppt"}},
        {{"-o", "-", "a.ppt"}, "", {"a.ppt"}},
        {{"--output", "x.csv", "a.ppt"}, "x.csv", {"a.ppt"}},
        {{"--output=out", "a.ppt"}, "out", {"a.ppt"}},
        {{"OUT.CSV", "a.ppt", "b.pptx"}, "OUT.CSV", {"a.ppt", "b.pptx"}},
        {{"deck.ppt", "other.ppt"}, "", {"deck.ppt", "other.ppt"}},
        {{"x.csv"}, std::nullopt, {}},  // the older form without files
        {{"-o", "x.csv", "--", "-o", "--force"}, "x.csv", {"-o", "--force"}},
        {{"-o"}, std::nullopt, {}},
        {{"--output="}, std::nullopt, {}},
        {{"-o", "x.csv"}, std::nullopt, {}},
        {{"--bogus", "a.ppt"}, std::nullopt, {}},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (const auto& a : c.arguments) shown += a + " ";
        std::string problem;
        const auto request = cli::parseExportArguments(c.arguments, &problem);
        ASSERT_EQ(request.has_value(), c.output.has_value()) << shown << problem;
        if (!request) continue;
        EXPECT_EQ(request->output, *c.output) << shown;
        EXPECT_EQ(request->names, c.names) << shown;
    }

    ScratchDir scratch;
    const std::string deck = (scratch.path() / "deck.ppt").string();
    const std::string existing = (scratch.path() / "old.csv").string();
    writeFileBytes(deck, "x");
    writeFileBytes(existing, "y");
    const std::string deckByOtherName = (scratch.path() / "./deck.ppt").string();
    const std::string fresh = (scratch.path() / "new.csv").string();
    EXPECT_NE(cli::refusalOfOutput((scratch.path() / "OUT.PpTx").string(), {deck}, true), "");
    EXPECT_NE(cli::refusalOfOutput(deckByOtherName, {deck}, true), "");
    const std::string copyName = (scratch.path() / "deck-link").string();
    std::filesystem::create_hard_link(deck, copyName);
    EXPECT_NE(cli::refusalOfOutput(copyName, {deck}, true), "") << "the same file under another name";
    EXPECT_NE(cli::refusalOfOutput(existing, {deck}, false), "");
    EXPECT_EQ(cli::refusalOfOutput(existing, {deck}, true), "");
    EXPECT_EQ(cli::refusalOfOutput(fresh, {deck}, false), "");
}

TEST(CliSetDefaults, RowsSavedAsTemplatesAreFilledInPerFileUnlessGiven)
{
    change::BatchSettings saved;
    saved.valuesAreTemplates = true;
    saved.rowChecks[0] = saved.rowChecks[props::kCommentsRow] = true;
    saved.rowValues[0] = "{name}";
    saved.rowValues[props::kCommentsRow] = "{folder}";
    const auto loader = [&saved] { return Result<change::BatchSettings>(saved); };
    std::string problem;
    const auto set = cli::parseSetArguments({"--defaults", "--comments", "Given", "deck.ppt"}, &problem, loader);
    ASSERT_TRUE(set) << problem;
    ASSERT_EQ(set->rowTemplates.size(), 1u);
    EXPECT_EQ(set->rowTemplates[0].row, 0);
    EXPECT_EQ(set->rowTemplates[0].value.resolve({"talks/deck.ppt", 1, nullptr}), "deck");
    EXPECT_TRUE(set->request.content.rows[0].keeps()) << "the saved template is no literal title";
    saved.rowValues[0] = "{titel}";
    EXPECT_FALSE(cli::parseSetArguments({"--defaults", "deck.ppt"}, &problem, loader));
    EXPECT_EQ(problem, "set: --defaults: Title: unknown field {titel}");
}

}  // namespace
}  // namespace quorvane::testing
