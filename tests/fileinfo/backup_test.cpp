// SPDX-License-Identifier: Apache-2.0
// Backup copies: what the copy carries, what an earlier backup or a folder of the backup name
// does to it, and that a failed backup leaves nothing half-made.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "fileinfo/attribute_store.h"
#include "fileinfo/backup.h"
#include "fileinfo/file_change.h"
#include "fileinfo/file_snapshot.h"
#include "tests/support/corpus.h"
#include "tests/support/fileinfo_fixtures.h"

namespace quorvane::fileinfo {
namespace {

namespace fs = std::filesystem;
using testing::readFileBytes;
using testing::statOf;

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Backup, CopyCarriesAttributesAndTimesOfAHiddenReadOnlyFile)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const std::string content(3 * 1024 * 1024 + 17, 'p');  // more than one copy chunk
    const auto file = dir.file("deck.ppt", content);
    ::chmod(file.c_str(), 0640);
    testing::setAccessAndWriteTimes(file, {1'236'188'710, 123'456'789}, {1'200'000'000, 987'654'321});
    ASSERT_TRUE(storeCreationTime(file, 0x01C99CA3D4A44D00));
    const AttributeWord word = kReadOnly | kHidden | kSystem | 0x2000;
    ASSERT_TRUE(writeAttributeWord(file, word));
    const auto original = ReadFileAttributeData(file);

    ASSERT_TRUE(backupoldfile(file));
    const fs::path backup = dir.path() / "deck.ppt.bak";
    EXPECT_EQ(backupNameOf(file), backup.string());
    const auto copy = ReadFileAttributeData(backup);
    ASSERT_TRUE(copy.has_value());
    EXPECT_EQ(copy->attributes, word);
    EXPECT_EQ(copy->creationTime, original->creationTime);
    EXPECT_EQ(copy->lastWriteTime, original->lastWriteTime);
    EXPECT_EQ(copy->lastAccessTime, original->lastAccessTime);
    EXPECT_EQ(statOf(backup).st_mode & 07777, 0440u);
    EXPECT_TRUE(readFileBytes(backup) == content);
    // The original is left as it was.
    EXPECT_EQ(ReadFileAttributeData(file)->attributes, word);
    EXPECT_EQ(ReadFileAttributeData(file)->lastAccessTime, original->lastAccessTime);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"deck.ppt", "deck.ppt.bak"}));
}

TEST(Backup, EarlierReadOnlyBackupIsReplacedAndHoldsTheStateBeforeTheLastChange)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const auto file = dir.file("deck.ppt", "first");
    const auto earlier = dir.file("deck.ppt.bak", "from an earlier run");
    ASSERT_TRUE(writeAttributeWord(earlier, kReadOnly | kHidden | kSystem));

    ASSERT_TRUE(backupoldfile(file));
    EXPECT_EQ(readFileBytes(earlier), "first");
    EXPECT_EQ(ReadFileAttributeData(earlier)->attributes, 0u);

    // A change with a backup before it, twice: the backup holds the file as it was just
    // before the second change.
    const FileChangeSettings grayed{};
    for (const std::string& next : {std::string("second"), std::string("third")}) {
        ASSERT_TRUE(backupoldfile(file));
        const auto write = [&](const FinalMetadata&) { return testing::writeFileBytes(file, next), Failure{}; };
        ASSERT_FALSE(runFileChange(file, grayed, write).failed());
    }
    EXPECT_EQ(readFileBytes(earlier), "second");
    EXPECT_EQ(readFileBytes(file), "third");
}

TEST(Backup, FolderOfTheBackupNameFailsAndIsLeftAlone)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const auto file = dir.file("deck.ppt", "content");
    fs::create_directory(dir.path() / "deck.ppt.bak");
    dir.file("deck.ppt.bak/inside.txt", "kept");
    EXPECT_FALSE(backupoldfile(file));
    EXPECT_EQ(backUpFile(file).kind(), FailureKind::NotRegularFile);
    EXPECT_TRUE(fs::is_directory(dir.path() / "deck.ppt.bak"));
    EXPECT_EQ(readFileBytes(dir.path() / "deck.ppt.bak" / "inside.txt"), "kept");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"deck.ppt", "deck.ppt.bak"})) << "no temporary left";
}

TEST(Backup, MissingOrLockedFileMakesNoBackup)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    EXPECT_FALSE(backupoldfile((dir.path() / "missing.ppt").string()));
    EXPECT_TRUE(namesIn(dir.path()).empty());

    const auto file = dir.file("deck.ppt", "content");
    {
        testing::LockHoldingChild writer(file, true);
        ASSERT_TRUE(writer.holding());
        EXPECT_FALSE(backupoldfile(file)) << "held without read sharing";
        EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"deck.ppt"}));
    }
    testing::LockHoldingChild reader(file, false);
    ASSERT_TRUE(reader.holding());
    EXPECT_TRUE(backupoldfile(file)) << "another reader does not stop the copy";
    EXPECT_EQ(readFileBytes(dir.path() / "deck.ppt.bak"), "content");
}

TEST(BackupFault, FullDiskLeavesNoPartialCopy)
{
    const auto failure = testing::runOnPrivateMount("tmpfs", "size=256k", [](const fs::path& folder) -> std::string {
        const fs::path file = folder / "deck.ppt";
        {
            std::ofstream out(file, std::ios::binary);
            out << std::string(160 * 1024, 'p');
            if (!out.flush()) return "cannot write the file";
        }
        if (backupoldfile(file)) return "a copy that cannot fit reported success";
        if (namesIn(folder) != std::vector<std::string>{"deck.ppt"}) return "something was left beside the file";
        if (readFileBytes(file).size() != 160 * 1024) return "the file itself changed";
        return "";
    });
    if (!failure) GTEST_SKIP() << "cannot mount a small file system here";
    EXPECT_EQ(*failure, "");
}

TEST(Backup, LinkOfTheBackupNameIsRemovedNotFollowed)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const auto file = dir.file("deck.ppt", "content");
    const auto elsewhere = dir.file("elsewhere.txt", "not to be touched");
    ASSERT_TRUE(writeAttributeWord(elsewhere, kReadOnly));
    fs::create_symlink(elsewhere, dir.path() / "deck.ppt.bak");
    ASSERT_TRUE(backupoldfile(file));
    EXPECT_FALSE(fs::is_symlink(dir.path() / "deck.ppt.bak"));
    EXPECT_EQ(readFileBytes(dir.path() / "deck.ppt.bak"), "content");
    EXPECT_EQ(readFileBytes(elsewhere), "not to be touched");
    EXPECT_EQ(ReadFileAttributeData(elsewhere)->attributes, kReadOnly);
}

}  // namespace
}  // namespace quorvane::fileinfo
