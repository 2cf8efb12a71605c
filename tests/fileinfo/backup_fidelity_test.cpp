// SPDX-License-Identifier: Apache-2.0
// Backup copies beyond their bytes: a sparse file keeps its holes, and the copy is a new file
// owned like its source, with the source's extended attributes, whoever made the earlier backup.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>

#include "base/unique_fd.h"
#include "fileinfo/backup.h"
#include "tests/support/corpus.h"
#include "tests/support/fileinfo_fixtures.h"

namespace quorvane::fileinfo {
namespace {

namespace fs = std::filesystem;
using testing::statOf;

constexpr uid_t kNobody = 65534;

std::string attributeOf(const fs::path& file, const char* name)
{
    char value[64] = {};
    const ssize_t length = ::getxattr(file.c_str(), name, value, sizeof value);
    return length < 0 ? "<none>" : std::string(value, std::size_t(length));
}

// deck.ppt of uid 4242, group 4343, with user.origin, in a folder that all may write; beside it
// an earlier backup of uid 5252, mode 0666, with user.stale, held open so that a write into its
// inode would show.
struct SharedFolder {
    testing::XattrScratchDir dir{QUORVANE_BINARY_DIR};
    fs::path file, backup;
    UniqueFd stale;

    void plant(mode_t fileMode)
    {
        ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
        file = dir.file("deck.ppt", "what the owner wrote");
        backup = dir.file("deck.ppt.bak", "someone else's backup");
        ASSERT_EQ(::chown(file.c_str(), 4242, 4343), 0);
        ASSERT_EQ(::chmod(file.c_str(), fileMode), 0);
        ASSERT_EQ(::setxattr(file.c_str(), "user.origin", "source", 6, 0), 0);
        ASSERT_EQ(::chown(backup.c_str(), 5252, 5252), 0);
        ASSERT_EQ(::chmod(backup.c_str(), 0666), 0);
        ASSERT_EQ(::setxattr(backup.c_str(), "user.stale", "old", 3, 0), 0);
        stale = UniqueFd(::open(backup.c_str(), O_RDONLY | O_CLOEXEC));
        ASSERT_TRUE(stale);
    }

    // The name holds a new file with `uid`, `gid`, `mode`, the source's bytes and attribute only;
    // the earlier backup's inode is unlinked and unwritten.
    void expectFreshCopy(uid_t uid, gid_t gid, mode_t mode) const
    {
        const struct stat info = statOf(backup);
        EXPECT_EQ(info.st_uid, uid);
        EXPECT_EQ(info.st_gid, gid);
        EXPECT_EQ(info.st_mode & 07777, mode);
        EXPECT_EQ(testing::readFileBytes(backup), "what the owner wrote");
        EXPECT_EQ(attributeOf(backup, "user.origin"), "source");
        EXPECT_EQ(attributeOf(backup, "user.stale"), "<none>");
        struct stat old {};
        ASSERT_EQ(::fstat(stale.get(), &old), 0);
        EXPECT_EQ(old.st_nlink, 0u);
        char bytes[64] = {};
        const ssize_t length = ::pread(stale.get(), bytes, sizeof bytes, 0);
        EXPECT_EQ(std::string(bytes, std::size_t(std::max<ssize_t>(length, 0))), "someone else's backup");
    }
};

TEST(BackupFidelity, SparseFileIsCopiedWithItsHoles)
{
    testing::ScratchDir dir;
    const fs::path file = dir.path() / "image.ppt";
    constexpr off_t kLength = off_t(1) << 30;
    {
        UniqueFd out(::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
        const std::string head(5000, 'h'), middle(3000, 'm');
        ASSERT_EQ(::pwrite(out.get(), head.data(), head.size(), 0), ssize_t(head.size()));
        ASSERT_EQ(::pwrite(out.get(), middle.data(), middle.size(), kLength / 2 + 123), ssize_t(middle.size()));
        ASSERT_EQ(::ftruncate(out.get(), kLength), 0);  // ends in a hole
    }
    constexpr blkcnt_t kSmallBlocks = 2048;  // 1 MiB in 512-byte blocks
    if (statOf(file).st_blocks > kSmallBlocks) GTEST_SKIP() << "this file system keeps no holes";

    ASSERT_TRUE(backupoldfile(file));
    const fs::path backup = backupNameOf(file);
    EXPECT_EQ(statOf(backup).st_size, kLength);
    EXPECT_LE(statOf(backup).st_blocks, kSmallBlocks) << "the holes were filled";
    EXPECT_EQ(std::system(("cmp -s '" + file.string() + "' '" + backup.string() + "'").c_str()), 0);
}

TEST(BackupFidelity, RunAsRootTheCopyIsANewFileOwnedLikeItsSource)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give files to other users";
    SharedFolder folder;
    QUORVANE_REQUIRE_XATTR_SCRATCH(folder.dir);
    folder.plant(0600);
    const Failure failure = backUpFile(folder.file);
    ASSERT_FALSE(failure.failed()) << failure.text();
    folder.expectFreshCopy(4242, 4343, 0600);
}

TEST(BackupFidelity, AnotherUserKeepsTheirOwnershipAndOpensTheCopyToNoNewGroup)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as uid 65534";
    SharedFolder folder;
    QUORVANE_REQUIRE_XATTR_SCRATCH(folder.dir);
    folder.plant(0664);  // the group may write, others read; uid 65534 is not in the group
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(2);
        ::_exit(backUpFile(folder.file).failed() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    folder.expectFreshCopy(kNobody, kNobody, 0644);
}

}  // namespace
}  // namespace quorvane::fileinfo
