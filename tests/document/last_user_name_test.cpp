// SPDX-License-Identifier: Apache-2.0
// The last user's name that a .ppt keeps in its Current User stream, emptied through the change
// path on copies of every undamaged, unencrypted corpus presentation: the name's bytes (8-bit and UTF-16LE) are
// no more often in the file than outside that stream before, the record keeps its other fields,
// olefile sees only that stream changed, and a second run changes and writes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

#include "base/random_access_file.h"
#include "cfb/cfb_compound_file.h"
#include "document/document_edit.h"
#include "tests/support/cfb_olefile.h"
#include "tests/support/content_change.h"
#include "tests/support/corpus.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> currentUserStream(const fs::path& path)
{
    auto file = PosixFile::open(path.string(), OpenMode::ReadShared);
    if (!file) return std::nullopt;
    auto opened = cfb::CompoundFile::open(*file);
    if (!opened.ok()) return std::nullopt;
    cfb::CompoundFile& compoundFile = opened.value();
    const auto entryId = compoundFile.findRootStream(u"Current User");
    if (!entryId) return std::nullopt;
    const auto bytes = compoundFile.readStream(*entryId, 1 << 16);
    if (!bytes.ok()) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(bytes->data()), bytes->size());
}

std::size_t occurrences(const std::string& haystack, const std::string& needle)
{
    std::size_t count = 0;
    for (std::size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1)) ++count;
    return count;
}

TEST(LastUserName, IsEmptiedWithEveryOtherByteOfMeaningKept)
{
    QUORVANE_REQUIRE_CORPUS();
    testing::ScratchDir scratch;
    document::ContentRequest clearName;
    clearName.clearLastUserName = true;
    int emptied = 0;
    for (const std::string& name : testing::corpusFiles("cfb")) {
        const nlohmann::json oracle = testing::oracleOf(name);
        const auto flags = oracle.value("flags", nlohmann::json::array());
        const bool damaged = std::find(flags.begin(), flags.end(), "damaged_clusterfuzz") != flags.end() ||
                             std::find(flags.begin(), flags.end(), "olefile_open_issues") != flags.end();
        if (!name.ends_with(".ppt") || !oracle["cfb"].value("opens", false) || damaged) continue;
        const fs::path path = scratch.copyOfCorpusFile(name);
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
        const auto before = currentUserStream(path);
        // Only records this code reads: RT_CurrentUserAtom with the fixed part's size 0x14.
        if (!before || before->size() < 32 || before->substr(2, 2) != "\xF6\x0F" || (*before)[8] != 0x14) continue;
        const std::size_t nameLength = std::uint8_t((*before)[20]) | std::uint8_t((*before)[21]) << 8;
        if (nameLength < 3 || 28 + nameLength + 4 > before->size()) continue;
        // An encrypted document refuses every change (cli_encrypted_document_test.cpp).
        if (const auto opened = document::DocumentEdit::open(path.string(), false, nullptr); !opened.ok() || opened->isEncrypted())
            continue;
        SCOPED_TRACE(name);
        const fs::path original = path.string() + ".orig";
        fs::copy_file(path, original);
        const std::string userName = before->substr(28, nameLength);
        std::string wideName;
        for (const char c : userName) wideName += std::string{c, '\0'};
        const std::string fileBefore = testing::readFileBytes(path);

        const change::FileOutcome cleared = testing::changeContent(path.string(), clearName);
        ASSERT_EQ(cleared.kind, change::FileOutcome::Kind::Changed) << cleared.failure.text();
        const auto after = currentUserStream(path);
        ASSERT_TRUE(after);
        ASSERT_EQ(after->size(), 32u);
        EXPECT_EQ(after->substr(20, 2), std::string(2, '\0')) << "lenUserName";
        EXPECT_EQ(after->substr(0, 4), before->substr(0, 4));
        EXPECT_EQ(after->substr(8, 12), before->substr(8, 12)) << "size, headerToken, offsetToCurrentEdit";
        EXPECT_EQ(after->substr(22, 6), before->substr(22, 6)) << "versions";
        EXPECT_EQ(after->substr(28, 4), before->substr(28 + nameLength, 4)) << "relVersion";
        const std::string fileAfter = testing::readFileBytes(path);
        for (const std::string& form : {userName, wideName})
            EXPECT_LE(occurrences(fileAfter, form), occurrences(fileBefore, form) - occurrences(*before, form)) << form;

        const nlohmann::json seen = testing::olefileCompare(original, path);
        ASSERT_FALSE(seen.is_null());
        EXPECT_EQ(seen["changed"], nlohmann::json::array({"Current User"}));
        EXPECT_TRUE(seen["missing"].empty() && seen["added"].empty());

        const change::FileOutcome again = testing::changeContent(path.string(), clearName);
        EXPECT_EQ(again.kind, change::FileOutcome::Kind::Unchanged) << again.failure.text();
        EXPECT_TRUE(testing::readFileBytes(path) == fileAfter) << "a second run writes nothing";
        ++emptied;
    }
    EXPECT_GT(emptied, 20) << "corpus presentations that name their last user";
}

}  // namespace
}  // namespace quorvane
