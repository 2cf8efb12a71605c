// SPDX-License-Identifier: Apache-2.0
// quorvane-cli scrub on read-only copies of corpus files with personal values and custom
// properties (and one without custom properties): afterwards no removed text is left in the
// file's bytes unless it also stood outside the property streams or parts before, or is one of
// the titles of parts (the slide titles, which the scrub leaves; 38256.ppt's title is its only
// slide's); checked by tests/cli/scrub_leftovers.py with olefile and zipfile. The kept rows, the
// file's times and attributes are as they were; --keep keeps, --thumbnail removes the
// thumbnail, --dry-run changes nothing.
#include <cstdio>
#include <memory>

#include <nlohmann/json.hpp>

#include "fileinfo/file_snapshot.h"
#include "tests/cli/cli_fixture.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

// The rows a scrub empties, by their names in `show --json`.
const std::vector<std::string> kScrubbedLabels = {
    "title", "subject", "author", "keywords", "comments", "category", "last_saved_by", "manager", "company",
    "total_editing_minutes", "last_printed"};

class Scrub : public Cli {
protected:
    nlohmann::json shown(const std::string& path) { return nlohmann::json::parse(run({"show", "--json", path}).out)[0]; }

    // The texts a scrub of a file shown as `before` removes: the scrubbed rows' values (but the
    // `kept` ones) and every custom property's name and value.
    static std::vector<std::string> removedTexts(const nlohmann::json& before, const std::vector<std::string>& kept)
    {
        std::vector<std::string> texts;
        // Text and numbers as stored; dates and booleans are stored in other forms.
        const auto textOf = [](const nlohmann::json& value) { return value.is_string() ? value.get<std::string>() : value.dump(); };
        for (const std::string& label : kScrubbedLabels)
            if (std::find(kept.begin(), kept.end(), label) == kept.end() && label != "last_printed")
                if (const nlohmann::json& value = before["properties"][label]; !value.is_null()) texts.push_back(textOf(value));
        for (const auto& property : before["custom"]) {
            texts.push_back(property["name"]);
            if (property["value"].is_string() || property["value"].is_number()) texts.push_back(textOf(property["value"]));
        }
        std::erase(texts, "");
        return texts;
    }

    // The verdict of scrub_leftovers.py on `scrubbed`, a scrub of `original`.
    nlohmann::json leftovers(const std::string& original, const std::string& scrubbed, const std::vector<std::string>& texts)
    {
        const fs::path textsFile = scratch_.path() / "texts.json";
        writeFileBytes(textsFile, nlohmann::json(texts).dump());
        const std::string command = "/usr/bin/python3 " + shellQuoted(QUORVANE_SOURCE_DIR "/tests/cli/scrub_leftovers.py") +
                                    " " + shellQuoted(original) + " " + shellQuoted(scrubbed) + " <" +
                                    shellQuoted(textsFile.string());
        std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
        std::string output;
        char buffer[4096];
        while (const std::size_t got = pipe ? std::fread(buffer, 1, sizeof buffer, pipe.get()) : 0) output.append(buffer, got);
        return nlohmann::json::parse(output, nullptr, false);
    }
};

TEST_F(Scrub, RemovesEveryPersonalValueAndKeepsTheRest)
{
    QUORVANE_REQUIRE_CORPUS();
    for (const std::string name : {"45543.ppt", "bug61881.ppt", "38256.ppt", "45541_Header.pptx", "60810.pptx"}) {
        SCOPED_TRACE(name);
        const std::string original = (corpusDir() / "files" / name).string();
        const std::string path = copyOf(name);
        fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        const nlohmann::json before = shown(path);
        const auto snapshotBefore = fileinfo::ReadFileAttributeData(path).value();
        const std::vector<std::string> texts = removedTexts(before, {});
        ASSERT_GE(texts.size(), 3u) << "the file has personal values";

        const CliRun scrubbed = run({"scrub", "--thumbnail", path});
        ASSERT_EQ(scrubbed.status, 0) << scrubbed.err;
        EXPECT_EQ(scrubbed.out, path + ": scrubbed\n");

        const auto snapshotAfter = fileinfo::ReadFileAttributeData(path).value();
        EXPECT_EQ(snapshotAfter.attributes, snapshotBefore.attributes) << "still read-only";
        EXPECT_EQ(snapshotAfter.creationTime, snapshotBefore.creationTime);
        EXPECT_EQ(snapshotAfter.exactLastWrite.tv_sec, snapshotBefore.exactLastWrite.tv_sec);
        EXPECT_EQ(snapshotAfter.exactLastWrite.tv_nsec, snapshotBefore.exactLastWrite.tv_nsec);
        EXPECT_EQ(snapshotAfter.exactLastAccess.tv_sec, snapshotBefore.exactLastAccess.tv_sec);
        EXPECT_EQ(snapshotAfter.exactLastAccess.tv_nsec, snapshotBefore.exactLastAccess.tv_nsec);
        const nlohmann::json after = shown(path);
        ASSERT_TRUE(after["readable"].get<bool>());
        for (const std::string& label : kScrubbedLabels) EXPECT_TRUE(after["properties"][label].is_null()) << label;
        for (const char* label : {"revision", "created", "last_saved"})
            EXPECT_EQ(after["properties"][label], before["properties"][label]) << label;
        EXPECT_TRUE(after["custom"].empty());

        const nlohmann::json seen = leftovers(original, path, texts);
        ASSERT_TRUE(seen.is_object()) << "scrub_leftovers.py did not run";
        EXPECT_TRUE(seen["left"].empty()) << seen["left"];
        EXPECT_FALSE(seen["thumbnail"].get<bool>());
        EXPECT_FALSE(seen["timed"].get<bool>()) << "Total Editing Time or Last Printed still stored";
        EXPECT_TRUE(seen["stored"].empty()) << "the old bytes of properties " << seen["stored"];
    }
}

TEST_F(Scrub, KeepDryRunBackupAndUsage)
{
    QUORVANE_REQUIRE_CORPUS();
    for (const std::string name : {"bug61881.ppt", "60810.pptx"}) {
        SCOPED_TRACE(name);
        const std::string path = copyOf(name);
        const std::string bytes = readFileBytes(path);
        const nlohmann::json before = shown(path);

        const CliRun dryRun = run({"scrub", "--dry-run", "--thumbnail", "--keep", "company", path});
        EXPECT_EQ(dryRun.status, 0) << dryRun.err;
        EXPECT_EQ(readFileBytes(path), bytes);
        const std::string author = before["properties"]["author"];
        const std::string customName = before["custom"][0]["name"];
        for (const std::string& line : {path + ": would change\n", "\n  Author: '" + author + "' -> ''\n",
                                       "\n  Custom " + customName + ": '", std::string("\n  thumbnail: '(present)' -> '(removed)'\n")})
            EXPECT_NE(dryRun.out.find(line), std::string::npos) << line << " in\n" << dryRun.out;
        EXPECT_EQ(dryRun.out.find("Company"), std::string::npos) << "kept";

        ASSERT_EQ(run({"scrub", "--keep", "author,company", "--keep=title", "--backup", path}).status, 0);
        EXPECT_EQ(readFileBytes(path + ".bak"), bytes);
        const nlohmann::json after = shown(path);
        for (const char* label : {"title", "author", "company"}) EXPECT_EQ(after["properties"][label], before["properties"][label]) << label;
        EXPECT_TRUE(after["properties"]["last_saved_by"].is_null());
        EXPECT_TRUE(after["custom"].empty());
        const nlohmann::json seen = leftovers(path + ".bak", path, removedTexts(before, {"title", "author", "company"}));
        EXPECT_TRUE(seen["left"].empty()) << seen["left"];
        EXPECT_TRUE(seen["thumbnail"].get<bool>()) << "no --thumbnail: kept";

        for (const std::vector<std::string>& usage : std::vector<std::vector<std::string>>{
                 {"scrub", "--keep", "author,bogus", path}, {"scrub", "--keep", "revision", path}, {"scrub", "--keep"},
                 {"scrub", "--thumbnail"}, {"scrub", "--frobnicate", path}}) {
            const CliRun refused = run(usage);
            EXPECT_EQ(refused.status, 2) << usage.back();
            if (usage.size() == 4) {
                const std::string unknownRow = usage[2].substr(usage[2].find_last_of(',') + 1);
                EXPECT_NE(refused.err.find("unknown row '" + unknownRow + "'"), std::string::npos) << refused.err;
            }
        }
        EXPECT_EQ(readFileBytes(path + ".bak"), bytes) << "usage errors touch nothing";
    }
}

}  // namespace
}  // namespace quorvane::testing
