// SPDX-License-Identifier: Apache-2.0
// quorvane-cli apply: tables from export and show --json, edited by a script or re-saved the way
// a spreadsheet saves them, applied to copies of corpus files; the values read back by exiftool
// and the parts compared by olefile and zipfile; refused tables change nothing.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <memory>
#include <set>

#include <nlohmann/json.hpp>

#include "tests/cli/cli_fixture.h"
#include "tests/support/environment_guard.h"
#include "tests/support/zip_python_check.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

// The output of a command run by the shell; "" when it cannot be run.
std::string outputOf(const std::string& command)
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::string output;
    char buffer[4096];
    while (const std::size_t got = pipe ? std::fread(buffer, 1, sizeof buffer, pipe.get()) : 0) output.append(buffer, got);
    return output;
}

timespec lastWriteOf(const std::string& path)
{
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mtim;
}

class Apply : public Cli {
protected:
    // Runs the tool under `locale` instead of C.
    CliRun runIn(const std::string& locale, const std::vector<std::string>& arguments)
    {
        return run(arguments, [&](std::string command) { return command.replace(command.find("LC_ALL=C"), 8, "LC_ALL=" + locale); });
    }

    nlohmann::json shown(const std::vector<std::string>& paths)
    {
        std::vector<std::string> arguments{"show", "--json"};
        arguments.insert(arguments.end(), paths.begin(), paths.end());
        return nlohmann::json::parse(run(arguments).out);
    }

    // Copies of up to `count` corpus files that a change of Title and a custom property can take
    // (readable, neither signed nor encrypted, text their code page holds), half .ppt, half .pptx.
    std::vector<std::string> changeableCopies(std::size_t count)
    {
        std::vector<std::string> copies;
        for (const char* kind : {"cfb", "zip"}) {
            std::vector<std::string> candidates;
            for (const std::string& name : corpusFiles(kind))
                if (name.ends_with(".ppt") || name.ends_with(".pptx")) candidates.push_back(copyOf(name));
            std::vector<std::string> arguments{"set", "--dry-run", "--title", "Deck \xC3\xA9 10", "--custom", "Reviewer=R"};
            arguments.insert(arguments.end(), candidates.begin(), candidates.end());
            const std::string refused = run(arguments).err;
            const nlohmann::json read = shown(candidates);
            for (std::size_t i = 0; i < candidates.size() && copies.size() < count / 2 * (kind[0] == 'z' ? 2 : 1); ++i)
                if (refused.find(candidates[i] + ":") == std::string::npos && read[i]["readable"] == true) copies.push_back(candidates[i]);
        }
        return copies;
    }

    // Each file's bytes, and its modification time to the nanosecond, read without moving its
    // access time (a table holds that time too).
    std::vector<std::pair<std::string, timespec>> states(const std::vector<std::string>& paths)
    {
        std::vector<std::pair<std::string, timespec>> result;
        for (const std::string& path : paths) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_NOATIME | O_CLOEXEC);
            std::string bytes;
            char buffer[65536];
            for (ssize_t got; fd >= 0 && (got = ::read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, std::size_t(got));
            if (fd >= 0) ::close(fd);
            result.push_back({std::move(bytes), lastWriteOf(path)});
        }
        return result;
    }
    static void expectUnchanged(const std::vector<std::pair<std::string, timespec>>& before,
                                const std::vector<std::pair<std::string, timespec>>& after)
    {
        ASSERT_EQ(before.size(), after.size());
        for (std::size_t i = 0; i < before.size(); ++i) {
            EXPECT_TRUE(before[i].first == after[i].first) << "file " << i << " written";
            EXPECT_EQ(before[i].second.tv_sec, after[i].second.tv_sec) << i;
            EXPECT_EQ(before[i].second.tv_nsec, after[i].second.tv_nsec) << i;
        }
    }

    std::string python(const std::string& script, const std::vector<std::string>& arguments)
    {
        const fs::path file = scratch_.path() / "script.py";
        writeFileBytes(file, script);
        std::string command = "/usr/bin/python3 " + shellQuoted(file.string());
        for (const std::string& argument : arguments) command += " " + shellQuoted(argument);
        return outputOf(command);
    }

    // Applies `edited` (a table of `paths`, `originals` their copies from before) and checks that
    // each file holds the title and Reviewer the script gave it, as exiftool reads them, that only
    // the property parts changed, as olefile and zipfile read them, and that show gives every
    // other value as before.
    void expectEditedValuesOnly(const std::vector<std::string>& paths, const std::vector<std::string>& originals,
                                const nlohmann::json& before, const CliRun& applied, const std::string& titleStem,
                                const nlohmann::json& moreCustom = nlohmann::json::array())
    {
        ASSERT_EQ(applied.status, 0) << applied.err;
        const nlohmann::json after = shown(paths);
        std::string exiftool = "exiftool -j -Title -Reviewer";
        std::vector<std::string> pairs;
        for (std::size_t i = 0; i < paths.size(); ++i) {
            SCOPED_TRACE(paths[i]);
            EXPECT_NE(applied.out.find(paths[i] + ": changed\n"), std::string::npos) << applied.out;
            nlohmann::json expected = before[i];
            expected["properties"]["title"] = titleStem + std::to_string(i);
            expected["custom"].push_back({{"name", "Reviewer"}, {"type", "text"}, {"value", "R" + std::to_string(i)}});
            for (const auto& property : moreCustom) expected["custom"].push_back(property);
            for (nlohmann::json* shownFile : {&expected, const_cast<nlohmann::json*>(&after[i])}) (*shownFile)["times"].erase("accessed");
            EXPECT_EQ(after[i], expected);
            exiftool += " " + shellQuoted(paths[i]);
            pairs.push_back(originals[i]);
            pairs.push_back(paths[i]);
        }
        const nlohmann::json tags = nlohmann::json::parse(outputOf(exiftool + " 2>/dev/null"), nullptr, false);
        ASSERT_TRUE(tags.is_array() && tags.size() == paths.size()) << "exiftool did not read every file";
        // exiftool lists the custom properties of most files, not of all (bug61881.ppt's): a file's
        // Reviewer is checked where it lists the first custom property the file had.
        std::size_t reviewersSeen = 0;
        for (std::size_t i = 0; i < paths.size(); ++i) {
            EXPECT_EQ(tags[i].value("Title", nlohmann::json()), titleStem + std::to_string(i)) << paths[i];
            const nlohmann::json& custom = before[i]["custom"];
            std::string firstTag = custom.empty() ? "" : custom[0]["name"].get<std::string>();
            std::erase_if(firstTag, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });  // exiftool's tag name
            if (!custom.empty() && !exiftoolTags(originals[i]).contains(firstTag)) continue;
            EXPECT_EQ(tags[i].value("Reviewer", nlohmann::json()), "R" + std::to_string(i)) << paths[i];
            ++reviewersSeen;
        }
        EXPECT_GE(reviewersSeen * 4, paths.size() * 3);
        const nlohmann::json changed = nlohmann::json::parse(python(readFileBytes(QUORVANE_SOURCE_DIR "/tests/cli/changed_parts.py"), pairs));
        const std::set<std::string> propertyParts = {"\x05SummaryInformation", "\x05" "DocumentSummaryInformation",
                                                     "PP97_DUALSTORAGE/\x05SummaryInformation",
                                                     "PP97_DUALSTORAGE/\x05" "DocumentSummaryInformation",
                                                     "docProps/core.xml", "docProps/custom.xml", "[Content_Types].xml", "_rels/.rels"};
        ASSERT_EQ(changed.size(), paths.size());
        for (std::size_t i = 0; i < paths.size(); ++i)
            for (const std::string part : changed[i]) EXPECT_TRUE(propertyParts.count(part)) << paths[i] << ": " << part;
    }

    std::vector<std::string> originalsOf(const std::vector<std::string>& paths)
    {
        std::vector<std::string> originals;
        for (const std::string& path : paths) {
            originals.push_back(path + ".original");
            fs::copy_file(path, originals.back());
        }
        return originals;
    }
};

// Saves a CSV table again in another separator, encoding and date form ('iso', 'de' for
// 01.05.2024 09:30, 'us' for 5/1/2024 9:30 AM), every second path made relative to the table's
// folder; unless the stem is '-', with Title "<stem><row>" and a column Reviewer "R<row>" (and
// Score:number 2,5 in the 'de' form). argv: table, stem, output, separator, encoding, date form.
constexpr char kEditScript[] = R"(
import csv, datetime, os, sys
table, stem, output, separator, encoding, dates = sys.argv[1:7]
with open(table, newline='', encoding='utf-8') as f:
    rows = list(csv.reader(f))
date_columns = [i for i, title in enumerate(rows[0]) if title in ('Create Time/Date', 'Last saved Time/Date', 'Last Printed',
                                                                   'Creation Time', 'Modify Time', 'Last Access Time')]
if stem != '-':
    rows[0] += ['Reviewer'] + (['Score:number'] if dates == 'de' else [])
for number, row in enumerate(rows[1:]):
    if stem != '-':
        row[rows[0].index('Title')] = stem + str(number)
        row += ['R' + str(number)] + (['2,5'] if dates == 'de' else [])
    if number % 2:
        row[0] = os.path.relpath(row[0], os.path.dirname(os.path.abspath(output)))
    for i in date_columns:
        if dates != 'iso' and row[i]:
            when = datetime.datetime.strptime(row[i], '%Y-%m-%d %H:%M:%S')
            row[i] = when.strftime('%d.%m.%Y %H:%M') if dates == 'de' else '%d/%d/%d %d:%02d %s' % (
                when.month, when.day, when.year, (when.hour + 11) % 12 + 1, when.minute, 'AM' if when.hour < 12 else 'PM')
with open(output, 'w', newline='', encoding=encoding) as f:
    csv.writer(f, delimiter=separator, lineterminator='\r\n').writerows(rows)
)";

TEST_F(Apply, AnExportedTableEditedByAScriptSetsExactlyItsValues)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::vector<std::string> paths = changeableCopies(50);
    ASSERT_GE(paths.size(), 40u);
    const auto untouched = states(paths);
    const std::string table = (scratch_.path() / "t.csv").string();
    std::vector<std::string> arguments{"export", "--custom", "-o", table};
    arguments.insert(arguments.end(), paths.begin(), paths.end());
    ASSERT_EQ(run(arguments).status, 0);

    // Unchanged: not one file written, not even its modification time.
    const CliRun same = run({"apply", table});
    ASSERT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(std::count(same.out.begin(), same.out.end(), '\n'), std::ptrdiff_t(paths.size()));
    EXPECT_EQ(same.out.find(": changed"), std::string::npos) << same.out;
    expectUnchanged(untouched, states(paths));

    const nlohmann::json before = shown(paths);
    const std::vector<std::string> originals = originalsOf(paths);
    const std::string edited = (scratch_.path() / "edited.csv").string();
    python(kEditScript, {table, "Deck \xC3\xA9 ", edited, ",", "utf-8", "iso"});
    const CliRun dryRun = run({"apply", "--dry-run", edited});
    EXPECT_EQ(dryRun.status, 0) << dryRun.err;
    EXPECT_NE(dryRun.out.find(paths[0] + ": would change\n  Title: '"), std::string::npos) << dryRun.out;
    expectUnchanged(untouched, states(paths));
    const CliRun applied = run({"apply", "-j", "2", edited});
    // Applied twice, the second time writes nothing (before the readers below move the access times).
    const auto once = states(paths);
    const CliRun twice = run({"apply", edited});
    EXPECT_EQ(twice.out.find(": changed"), std::string::npos) << twice.out;
    expectUnchanged(once, states(paths));
    expectEditedValuesOnly(paths, originals, before, applied, "Deck \xC3\xA9 ");
}

TEST_F(Apply, ATableSavedByASpreadsheetReads)
{
    QUORVANE_REQUIRE_CORPUS();
    const struct {
        const char* locale;
        const char* separator;
        const char* encoding;
        const char* dates;
    } spreadsheets[] = {{"de_DE.UTF-8", ";", "utf-8-sig", "de"}, {"en_US.UTF-8", "\t", "cp1252", "us"}};
    for (const auto& sheet : spreadsheets) {
        SCOPED_TRACE(sheet.locale);
        const std::vector<std::string> paths = {copyOf("37625.ppt"), copyOf("bug61881.ppt"), copyOf("60810.pptx"),
                                                copyOf("SmartArt.pptx")};
        const auto untouched = states(paths);
        const std::string table = (scratch_.path() / "t.csv").string();
        ASSERT_EQ(run({"export", "--force", "--custom", "-o", table, paths[0], paths[1], paths[2], paths[3]}).status, 0);
        const nlohmann::json before = shown(paths);
        const std::vector<std::string> originals = originalsOf(paths);
        // The table as the spreadsheet saves it: its values unchanged, then new ones.
        const std::string resaved = (scratch_.path() / "resaved.csv").string();
        python(kEditScript, {table, "-", resaved, sheet.separator, sheet.encoding, sheet.dates});
        const std::string bytes = readFileBytes(resaved);
        EXPECT_TRUE(bytes.starts_with("\xEF\xBB\xBF") == (sheet.dates == std::string("de"))) << "a byte-order mark";
        const std::string title = "Fa\xC3\xA7" "ade\nline ";
        const std::string edited = (scratch_.path() / "edited.csv").string();
        python(kEditScript, {table, title, edited, sheet.separator, sheet.encoding, sheet.dates});
        EXPECT_NE(readFileBytes(edited).find(sheet.dates == std::string("de") ? "Fa\xC3\xA7" "ade\nline 0" : "Fa\xE7" "ade\nline 0"),
                  std::string::npos) << "UTF-8 or cp1252, a line break";

        const CliRun same = runIn(sheet.locale, {"apply", resaved});
        ASSERT_EQ(same.status, 0) << same.err;
        EXPECT_EQ(same.out.find(": changed"), std::string::npos) << same.out << "dates to the minute, of the same instants";
        expectUnchanged(untouched, states(paths));
        const nlohmann::json score = sheet.dates == std::string("de")
                                         ? nlohmann::json::array({{{"name", "Score"}, {"type", "number"}, {"value", 2.5}}})
                                         : nlohmann::json::array();
        const CliRun applied = runIn(sheet.locale, {"apply", edited});
        const auto once = states(paths);
        EXPECT_EQ(runIn(sheet.locale, {"apply", edited}).out.find(": changed"), std::string::npos);
        expectUnchanged(once, states(paths));
        expectEditedValuesOnly(paths, originals, before, applied, title, score);
        for (const std::string& path : originals) fs::remove(path);
        for (const std::string& path : paths) fs::remove(path);
    }
}

TEST_F(Apply, ShowJsonIsTheSameInEveryLocaleAndItsInstantsAreTakenBack)
{
    QUORVANE_REQUIRE_CORPUS();
    const TimeZoneGuard zone("Europe/Berlin");  // for the tool too, which inherits TZ
    const std::vector<std::string> paths = {copyOf("37625.ppt"), copyOf("60810.pptx")};
    ASSERT_EQ(run({"set", "--custom", "Due:date=2024-03-01", "--custom", "Score:number=2.5", paths[0], paths[1]}).status, 0);
    const std::string inC = run({"show", "--json", paths[0], paths[1]}).out;
    for (const char* locale : {"en_US.UTF-8", "de_DE.UTF-8"}) EXPECT_EQ(runIn(locale, {"show", "--json", paths[0], paths[1]}).out, inC);
    const nlohmann::json json = nlohmann::json::parse(inC);
    EXPECT_EQ(json[0]["properties"]["total_editing_minutes"], 1792);
    EXPECT_EQ(json[0]["custom"].back()["value"], 2.5);
    EXPECT_EQ(json[0]["properties"]["last_printed"], "2002-08-08T16:38:11+02:00") << "14:38:11 UTC";

    // Every instant show --json and export print, given to set, is the value set.
    std::vector<std::pair<std::string, std::string>> instants;  // given, shown back
    for (const auto& file : json) {
        for (const char* row : {"created", "last_saved", "last_printed"})
            if (file["properties"][row].is_string()) instants.push_back({file["properties"][row], file["properties"][row]});
        const nlohmann::json& due = file["custom"][file["custom"].size() - 2]["value"];
        instants.push_back({due, due});
    }
    const std::string exported = run({"export", paths[0]}).out;
    ASSERT_NE(exported.find("\"2002-08-08 16:38:11\""), std::string::npos) << exported;
    instants.push_back({"2002-08-08 16:38:11", json[0]["properties"]["last_printed"]});
    for (const auto& [given, shownBack] : instants) {
        SCOPED_TRACE(given);
        ASSERT_EQ(run({"set", "--last-printed", given, "--custom", "When:date=" + given, paths[1]}).status, 0);
        const nlohmann::json back = shown({paths[1]})[0];
        EXPECT_EQ(back["properties"]["last_printed"], shownBack);
        EXPECT_EQ(back["custom"].back()["value"], shownBack);
    }

    // The JSON applied as it is writes nothing; edited, it sets and removes.
    const std::string table = (scratch_.path() / "t.json").string();
    const auto untouched = states(paths);
    writeFileBytes(table, run({"show", "--json", paths[0], paths[1]}).out);
    const CliRun same = run({"apply", table});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out.find(": changed"), std::string::npos) << same.out;
    expectUnchanged(untouched, states(paths));
    nlohmann::json edited = nlohmann::json::parse(readFileBytes(table));
    edited[1]["properties"]["title"] = "From JSON";
    edited[1]["properties"]["company"] = nullptr;
    edited[1]["custom"] = {{{"name", "Score"}, {"type", "number"}, {"value", nullptr}}};
    edited[1]["path"] = fs::path(paths[1]).filename().string();  // relative to the table's folder
    writeFileBytes(table, edited.dump());
    ASSERT_EQ(run({"apply", table}).status, 0);
    const nlohmann::json after = shown({paths[1]})[0];
    EXPECT_EQ(after["properties"]["title"], "From JSON");
    EXPECT_TRUE(after["properties"]["company"].is_null());
    EXPECT_EQ(after["custom"].size(), json[1]["custom"].size()) << "Score removed, When (set above) kept";
    EXPECT_EQ(after["custom"].dump().find("Score"), std::string::npos);
}

TEST_F(Apply, ABadTableIsRefusedWithItsRowAndColumnBeforeAnythingIsWritten)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::string ppt = copyOf("37625.ppt"), pptx = copyOf("60810.pptx");
    const std::string header = "\"File full name\",\"Title\",\"Create Time/Date\"\r\n";
    const std::string good = "\"" + pptx + "\",\"New\",\"\"\r\n";
    const struct {
        std::string table;
        std::string refusal;
    } cases[] = {
        {header + good + "\"" + ppt + "\",\"x\",\"31.02.2024\"\r\n", "row 3, column Create Time/Date: '31.02.2024' is not a date"},
        {header + good + "\"" + ppt + "\",\"x\",\"1500-01-01\"\r\n",
         "row 3, column Create Time/Date: '1500-01-01' cannot be stored: a date must lie from"},
        {header + good + "\"nothing.ppt\",\"x\",\"\"\r\n", "row 3, column File full name: 'nothing.ppt' matches no file"},
        {header + good + "\"" + fs::path(pptx).filename().string() + "\",\"x\",\"\"\r\n",
         "row 3, column File full name: '60810.pptx' is the file of"},
        {header + good + "\"" + ppt + "\",\"\xE6\x97\xA5\",\"\"\r\n", "row 3, column Title: "},
        {"\"File full name\",\"Score:float\"\r\n\"" + ppt + "\",\"1\"\r\n", "row 1, column Score:float: unknown type 'float'"},
        {"[{\"path\": \"" + pptx + "\", \"properties\": {\"titel\": \"x\"}}]", "element 1, column properties.titel: unknown column"},
        {"\"File full name\",\"Title\"\r\n\"" + ppt + "\",\"unclosed\r\n", "line 2: a quoted field is not closed"},
    };
    const auto untouched = states({ppt, pptx});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        const std::string table = (scratch_.path() / "t.csv").string();
        writeFileBytes(table, c.table);
        const CliRun refused = run({"apply", table});
        EXPECT_EQ(refused.status, 2);
        EXPECT_NE(refused.err.find(table + ": " + c.refusal), std::string::npos) << refused.err;
        EXPECT_EQ(refused.out, "");
        expectUnchanged(untouched, states({ppt, pptx}));
    }
    // The rows' files are read several at a time; their refusals still come in row order.
    const std::string table = (scratch_.path() / "t.csv").string();
    writeFileBytes(table, header + "\"" + ppt + "\",\"x\",\"31.02.2024\"\r\n\"nothing.ppt\",\"x\",\"\"\r\n\"" + pptx +
                              "\",\"x\",\"1500-01-01\"\r\n");
    const CliRun refused = run({"apply", "-j", "4", table});
    const std::size_t second = refused.err.find("row 2,"), third = refused.err.find("row 3,"), fourth = refused.err.find("row 4,");
    EXPECT_TRUE(second < third && third < fourth && fourth != std::string::npos) << refused.err;
}

}  // namespace
}  // namespace quorvane::testing
