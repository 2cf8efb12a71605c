// SPDX-License-Identifier: Apache-2.0
// Saving and loading the batch settings: value names and encodings, the reading rules, and a
// store that is missing, damaged or cannot be written.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "change/saved_defaults.h"
#include "convert/display_text.h"
#include "tests/support/corpus.h"
#include "tests/support/environment_guard.h"

namespace quorvane::change {
namespace {

using fileinfo::BoxState;
using convert::DateTime;
using testing::ScratchDir;

DateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return convert::encodeDateTime({y, mo, d, h, mi, s, 0}).value();
}

class SavedDefaults : public ::testing::Test {
protected:
    std::string storePath() const { return (scratch_.path() / "config/lomberk/quorvane.reg").string(); }
    std::vector<std::string> filesInStoreFolder() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(scratch_.path() / "config/lomberk"))
            names.push_back(entry.path().filename().string());
        return names;
    }

    testing::TimeLocaleGuard locale_{"C"};
    ScratchDir scratch_;
    const DateTime now_ = at(2026, 12, 7, 9, 30, 15);
};

TEST_F(SavedDefaults, FirstStartCreatesTheKeyAndGivesTheDesignDefaults)
{
    const auto settings = loadBatchDefaults(storePath(), now_);
    ASSERT_TRUE(settings);
    EXPECT_TRUE(std::filesystem::exists(storePath()));
    for (const FileTimeSetting& time : settings->fileTimes) {
        EXPECT_TRUE(time.applyDate);
        EXPECT_TRUE(time.applyTime);
        EXPECT_EQ(time.datePicker, now_);
        EXPECT_EQ(time.timePicker, now_);
    }
    EXPECT_EQ(settings->attributes, fileinfo::AttributeBoxes{});
    EXPECT_FALSE(settings->backup);
    for (int row = 0; row < props::kRowCount; ++row) {
        const bool createdOrSaved = row == props::kCreatedRow || row == props::kLastSavedRow;
        EXPECT_EQ(settings->rowValues[row], createdOrSaved ? "2026-12-07 09:30:15" : "") << row;
        EXPECT_FALSE(settings->rowChecks[row]) << row;
    }
}

TEST_F(SavedDefaults, SaveThenLoadGivesBackEveryBoxAndEveryPickerPair)
{
    BatchSettings saved;
    saved.fileTimes[kCreationTime] = {true, true, at(2009, 3, 4, 1, 2, 3), at(2001, 1, 1, 17, 45, 10)};
    saved.fileTimes[kModifyTime] = {true, false, at(2010, 5, 6), at(2010, 5, 6, 8, 9, 10)};
    saved.fileTimes[kLastAccessTime] = {false, true, at(2011, 7, 8, 23, 0, 0), at(2011, 7, 8, 0, 0, 1)};
    saved.attributes = {BoxState::Grayed, BoxState::Checked, BoxState::Unchecked, BoxState::Checked};
    saved.rowValues = {"Title \"quoted\"", "back\\slash", "multi\nline\r\n", "", "", "Catagory", "7", "",
                       "", "", "2008-06-01 12:00:00", "", "90", ""};
    saved.rowChecks = {true, false, true, false, false, true, false, false, false, false, true, false, true, true};
    saved.backup = true;
    saved.removeAllCustom = true;
    ASSERT_TRUE(saveBatchDefaults(storePath(), saved));

    const auto loaded = loadBatchDefaults(storePath(), now_);
    ASSERT_TRUE(loaded);
    // A picker pair is stored as one date-time and both pickers get it back whole.
    const DateTime creation = at(2009, 3, 4, 17, 45, 10);
    EXPECT_EQ(loaded->fileTimes[kCreationTime].datePicker, creation);
    EXPECT_EQ(loaded->fileTimes[kCreationTime].timePicker, creation);
    for (int index = 0; index < 3; ++index) {
        EXPECT_EQ(loaded->fileTimes[index].applyDate, saved.fileTimes[index].applyDate) << index;
        EXPECT_EQ(loaded->fileTimes[index].applyTime, saved.fileTimes[index].applyTime) << index;
    }
    EXPECT_EQ(loaded->attributes, saved.attributes);
    EXPECT_TRUE(loaded->backup);
    EXPECT_TRUE(loaded->removeAllCustom);
    EXPECT_EQ(loaded->rowChecks, saved.rowChecks);
    // Row 11 saved empty comes back as the current date-time; row 13 saved empty stays empty.
    auto expectedValues = saved.rowValues;
    expectedValues[props::kLastSavedRow] = "2026-12-07 09:30:15";
    EXPECT_EQ(loaded->rowValues, expectedValues);
}

TEST_F(SavedDefaults, ValueNamesAndEncodingsAreTheStoredOnes)
{
    BatchSettings settings;
    settings.attributes = {BoxState::Grayed, BoxState::Checked, BoxState::Unchecked, BoxState::Grayed};
    settings.rowChecks[props::kTotalEditingTimeRow] = true;
    const NamedValues values = defaultsValuesOf(settings);
    ASSERT_EQ(values.size(), 9u + 4u + 28u + 3u);
    EXPECT_EQ(values[0].first, "createtime");
    EXPECT_EQ(values[1], (std::pair<std::string, std::string>{"createtimecheckdate", "1"}));
    EXPECT_EQ(values[8].first, "accesstimechecktime");
    EXPECT_EQ(valueOf(values, "readonly"), "0");
    EXPECT_EQ(valueOf(values, "archive"), "1");
    EXPECT_EQ(valueOf(values, "hidden"), "2");
    EXPECT_EQ(values[12].first, "contentindex");
    EXPECT_EQ(values[13].first, "Titlestring");
    EXPECT_EQ(values[14].first, "Titlecheck");
    EXPECT_EQ(values[13 + 2 * props::kCreatedRow].first, "Create Time/Datestring");
    EXPECT_EQ(valueOf(values, "Total Editing Time(Minutes)check"), "1");
    EXPECT_EQ(valueOf(values, "Catagorycheck"), "0");
    EXPECT_EQ(values[values.size() - 3], (std::pair<std::string, std::string>{"backupold", ""}));
    EXPECT_EQ(values[values.size() - 2], (std::pair<std::string, std::string>{"removeallcustom", ""}));
    EXPECT_EQ(values.back(), (std::pair<std::string, std::string>{"valuesaretemplates", ""}));
}

TEST_F(SavedDefaults, ReadingRulesForTextsThatWereNotWrittenByUs)
{
    const NamedValues values = {
        {"createtime", "31.12.2008"},        // another locale's format: falls back to now
        {"createtimecheckdate", "0"},
        {"createtimechecktime", "yes"},      // anything but "0" checks
        {"readonly", "1"}, {"archive", "2"}, {"hidden", "3"}, {"contentindex", ""},
        {"backupold", "0"},                  // only "1" checks
        {"Titlecheck", "true"},              // only "1" checks
        {"Last Printedstring", "someday"},   // does not parse: now
        {"Create Time/Datestring", "junk"},  // does not parse: now
        {"Last saved Time/Datestring", "2008-06-01"},
        {"Revision Numberstring", "not a number"},
    };
    const BatchSettings settings = batchSettingsFromDefaults(values, now_);
    EXPECT_EQ(settings.fileTimes[kCreationTime].datePicker, now_);
    EXPECT_FALSE(settings.fileTimes[kCreationTime].applyDate);
    EXPECT_TRUE(settings.fileTimes[kCreationTime].applyTime);
    EXPECT_EQ(settings.attributes, (fileinfo::AttributeBoxes{BoxState::Checked, BoxState::Unchecked,
                                                             BoxState::Grayed, BoxState::Grayed}));
    EXPECT_FALSE(settings.backup);
    EXPECT_FALSE(settings.removeAllCustom) << "a store from before the setting";
    EXPECT_TRUE(batchSettingsFromDefaults({{"removeallcustom", "1"}}, now_).removeAllCustom);
    EXPECT_FALSE(batchSettingsFromDefaults({{"removeallcustom", "yes"}}, now_).removeAllCustom);
    EXPECT_FALSE(settings.valuesAreTemplates) << "a store from before the setting";
    EXPECT_TRUE(batchSettingsFromDefaults({{"valuesaretemplates", "1"}}, now_).valuesAreTemplates);
    EXPECT_FALSE(settings.rowChecks[0]);
    EXPECT_EQ(settings.rowValues[props::kLastPrintedRow], "2026-12-07 09:30:15");
    EXPECT_EQ(settings.rowValues[props::kCreatedRow], "2026-12-07 09:30:15");
    EXPECT_EQ(settings.rowValues[props::kLastSavedRow], "2008-06-01");
    EXPECT_EQ(settings.rowValues[props::kRevisionNumberRow], "not a number");
}

TEST_F(SavedDefaults, DatesWrittenUnderOneLocaleReadTheSameUnderAnother)
{
    BatchSettings saved;
    saved.fileTimes[kModifyTime] = {true, true, at(2020, 12, 7), at(2020, 12, 7, 12, 12, 20)};
    saved.fileTimes[kLastAccessTime] = {true, true, at(999, 1, 2), at(999, 1, 2, 3, 4, 5)};
    {
        testing::TimeLocaleGuard american("en_US.UTF-8");
        if (!american.ok()) GTEST_SKIP() << "en_US.UTF-8 is not installed";
        saved.rowValues[props::kCreatedRow] = "12/07/2020 12:12:20 PM";
        saved.rowValues[props::kLastPrintedRow] = "01/02/2003";
        ASSERT_TRUE(saveBatchDefaults(storePath(), saved));
    }
    const auto stored = openDefaultsKey(storePath());
    ASSERT_TRUE(stored);
    EXPECT_EQ(valueOf(*stored, "modifytime"), "2020-12-07 12:12:20");
    EXPECT_EQ(valueOf(*stored, "accesstime"), "0999-01-02 03:04:05");
    EXPECT_EQ(valueOf(*stored, "Create Time/Datestring"), "2020-12-07 12:12:20");
    EXPECT_EQ(valueOf(*stored, "Last Printedstring"), "2003-01-02 00:00:00");

    testing::TimeLocaleGuard german("de_DE.UTF-8");
    if (!german.ok()) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    const auto loaded = loadBatchDefaults(storePath(), now_);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->fileTimes[kModifyTime].datePicker, at(2020, 12, 7, 12, 12, 20));
    EXPECT_EQ(loaded->fileTimes[kLastAccessTime].timePicker, at(999, 1, 2, 3, 4, 5));
    EXPECT_EQ(loaded->rowValues[props::kCreatedRow], "07.12.2020 12:12:20");
    EXPECT_EQ(loaded->rowValues[props::kLastPrintedRow], "02.01.2003");
}

TEST_F(SavedDefaults, StoresWrittenInLocaleTextStillRead)
{
    testing::TimeLocaleGuard american("en_US.UTF-8");
    if (!american.ok()) GTEST_SKIP() << "en_US.UTF-8 is not installed";
    const NamedValues oldStore = {
        {"modifytime", "12/07/2020 12:12:20 PM"},
        {"createtime", "12/07/2020"},
        {"Last saved Time/Datestring", "12/07/2020 12:12:20 PM"},
        {"Last Printedstring", "2020-12-07 12:12:20"},  // the store's form, shown in this locale
    };
    const BatchSettings settings = batchSettingsFromDefaults(oldStore, now_);
    EXPECT_EQ(settings.fileTimes[kModifyTime].datePicker, at(2020, 12, 7, 12, 12, 20));
    EXPECT_EQ(settings.fileTimes[kCreationTime].timePicker, at(2020, 12, 7));
    EXPECT_EQ(settings.rowValues[props::kLastSavedRow], "12/07/2020 12:12:20 PM");
    EXPECT_EQ(settings.rowValues[props::kLastPrintedRow], "12/07/2020 12:12:20 PM");
}

TEST_F(SavedDefaults, KeyAndValueNamesMatchInAnyLetterCase)
{
    std::filesystem::create_directories(std::filesystem::path(storePath()).parent_path());
    testing::writeFileBytes(storePath(),
                            "Windows Registry Editor Version 5.00\r\n\r\n"
                            "[hkey_current_user\\Software\\Lomberk\\QUORVANE]\r\n"
                            "\"ModifyTime\"=\"2020-12-07 12:12:20\"\r\n"
                            "\"TITLESTRING\"=\"old title\"\r\n"
                            "\"titlecheck\"=\"1\"\r\n"
                            "\"BackupOld\"=\"1\"\r\n"
                            "\"RemoveAllCustom\"=\"1\"\r\n");
    const auto loaded = loadBatchDefaults(storePath(), now_);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->fileTimes[kModifyTime].datePicker, at(2020, 12, 7, 12, 12, 20));
    EXPECT_EQ(loaded->rowValues[0], "old title");
    EXPECT_TRUE(loaded->rowChecks[0]);
    EXPECT_TRUE(loaded->backup);
    EXPECT_TRUE(loaded->removeAllCustom);

    // Saving replaces those values in place instead of adding a second one of each.
    ASSERT_TRUE(writeDefaultsKey(storePath(), {{"Titlestring", "new title"}}));
    const auto stored = openDefaultsKey(storePath());
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, (NamedValues{{"ModifyTime", "2020-12-07 12:12:20"}, {"TITLESTRING", "new title"},
                                    {"titlecheck", "1"}, {"BackupOld", "1"}, {"RemoveAllCustom", "1"}}));
}

TEST(DefaultsStore, ParsesOurKeyAndSkipsEverythingElse)
{
    const std::string text =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\other]\r\n"
        "\"Titlestring\"=\"not ours\"\r\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\lomberk\\quorvane]\r\n"
        "\"Titlestring\"=\"A \\\"quoted\\\" C:\\\\path\"\r\n"
        "; a comment\r\n"
        "\"unterminated\"=\"value\r\n"
        "\"noequals\" \"x\"\r\n"
        "\"trailing\"=\"x\" junk\r\n"
        "\"Titlestring\"=\"second wins\"\r\n"
        "\"empty\"=\"\"\r\n";
    const NamedValues values = parseDefaultsStore(text);
    EXPECT_EQ(values, (NamedValues{{"Titlestring", "second wins"}, {"empty", ""}}));
    EXPECT_EQ(parseDefaultsStore("[HKEY_CURRENT_USER\\SOFTWARE\\lomberk\\quorvane]\n\"a\"=\"A \\\"q\\\" C:\\\\p\""),
              (NamedValues{{"a", "A \"q\" C:\\p"}}));
    for (const char* damaged : {"", "[", "\"", "[HKEY_CURRENT_USER\\SOFTWARE\\lomberk\\quorvane]\n\"\\", "\0\0\0"})
        EXPECT_TRUE(parseDefaultsStore(damaged).empty());
}

TEST_F(SavedDefaults, SavingKeepsOtherValuesAndLeavesNoTemporaryFile)
{
    ASSERT_TRUE(writeDefaultsKey(storePath(), {{"somebody else's", "value"}}));
    ASSERT_TRUE(saveBatchDefaults(storePath(), BatchSettings{}));
    const auto values = openDefaultsKey(storePath());
    ASSERT_TRUE(values);
    EXPECT_EQ(valueOf(*values, "somebody else's"), "value");
    EXPECT_EQ(valueOf(*values, "readonly"), "0");
    EXPECT_EQ(filesInStoreFolder(), std::vector<std::string>{"quorvane.reg"});
}

TEST_F(SavedDefaults, TheLastUsedFolderIsNoBatchSetting)
{
    const std::string folder = scratch_.path().string();
    BatchSettings saved;
    saved.rowValues[0] = "kept";
    saved.rowChecks[0] = true;
    ASSERT_TRUE(saveBatchDefaults(storePath(), saved));
    EXPECT_EQ(lastUsedFolder(storePath()), "");  // a store from before the folder was kept
    const auto before = loadBatchDefaults(storePath(), now_);
    ASSERT_TRUE(before);

    ASSERT_TRUE(rememberLastUsedFolder(storePath(), folder));
    EXPECT_EQ(lastUsedFolder(storePath()), folder);
    const auto after = loadBatchDefaults(storePath(), now_);
    ASSERT_TRUE(after);
    EXPECT_EQ(defaultsValuesOf(*after), defaultsValuesOf(*before));
    EXPECT_EQ(after->rowValues[0], "kept");

    // Saving the batch settings keeps the folder; a folder that is gone is not given.
    ASSERT_TRUE(saveBatchDefaults(storePath(), BatchSettings{}));
    EXPECT_EQ(lastUsedFolder(storePath()), folder);
    ASSERT_TRUE(rememberLastUsedFolder(storePath(), folder + "/gone"));
    EXPECT_EQ(lastUsedFolder(storePath()), "");
}

TEST_F(SavedDefaults, AnUnwritableStoreFailsAndKeepsTheOldFile)
{
    ASSERT_TRUE(saveBatchDefaults(storePath(), BatchSettings{}));
    const std::string before = testing::readFileBytes(storePath());
    // A folder where the store should be makes every write fail; so does a folder without
    // write permission, which root ignores, hence the first form.
    const std::string blocked = (scratch_.path() / "blocked/lomberk/quorvane.reg").string();
    std::filesystem::create_directories(blocked);
    EXPECT_FALSE(saveBatchDefaults(blocked, BatchSettings{}));
    EXPECT_FALSE(loadBatchDefaults(blocked, now_));
    EXPECT_TRUE(std::filesystem::is_directory(blocked));
    EXPECT_EQ(testing::readFileBytes(storePath()), before);
}

TEST_F(SavedDefaults, AnOversizedStoreReadsAsEmpty)
{
    std::filesystem::create_directories(std::filesystem::path(storePath()).parent_path());
    std::string huge = "[HKEY_CURRENT_USER\\SOFTWARE\\lomberk\\quorvane]\n\"Titlecheck\"=\"1\"\n";
    huge.resize(2 << 20, ' ');
    testing::writeFileBytes(storePath(), huge);
    const auto settings = loadBatchDefaults(storePath(), now_);
    ASSERT_TRUE(settings);
    EXPECT_FALSE(settings->rowChecks[0]);
}

TEST(DefaultsStorePath, FollowsXdgConfigHome)
{
    const std::string previousConfig = getenv("XDG_CONFIG_HOME") ? getenv("XDG_CONFIG_HOME") : "";
    const std::string previousHome = getenv("HOME") ? getenv("HOME") : "";
    setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
    EXPECT_EQ(defaultsStorePath(), "/somewhere/config/lomberk/quorvane.reg");
    setenv("XDG_CONFIG_HOME", "relative/is/ignored", 1);
    setenv("HOME", "/home/user", 1);
    EXPECT_EQ(defaultsStorePath(), "/home/user/.config/lomberk/quorvane.reg");
    if (previousConfig.empty()) unsetenv("XDG_CONFIG_HOME");
    else setenv("XDG_CONFIG_HOME", previousConfig.c_str(), 1);
    setenv("HOME", previousHome.c_str(), 1);
}

}  // namespace
}  // namespace quorvane::change
