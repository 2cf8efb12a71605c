// Backup copies beyond their bytes: a sparse file keeps its holes, and the copy is a new file
// owned like its source, with the source's extended attributes, whoever owned the earlier backup.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <fstream>
#include <vector>

#include "base/unique_fd.h"
#include "fileinfo/backup.h"
#include "tests/support/corpus.h"
#include "tests/support/fileinfo_fixtures.h"

namespace quorvane::fileinfo {
namespace {

namespace fs = std::filesystem;
using testing::readFileBytes;
using testing::statOf;

constexpr uid_t kSourceOwner = 4242;
constexpr gid_t kSourceGroup = 4343;
constexpr uid_t kStaleOwner = 5252;
constexpr uid_t kNobody = 65534;

// True when both files hold the same bytes, read piece by piece (they may be large).
bool sameBytes(const fs::path& a, const fs::path& b)
{
    std::ifstream inA(a, std::ios::binary), inB(b, std::ios::binary);
    std::vector<char> pieceA(1 << 20), pieceB(1 << 20);
    while (inA && inB) {
        inA.read(pieceA.data(), std::streamsize(pieceA.size()));
        inB.read(pieceB.data(), std::streamsize(pieceB.size()));
        if (inA.gcount() != inB.gcount() || !std::equal(pieceA.begin(), pieceA.begin() + inA.gcount(), pieceB.begin()))
            return false;
    }
    return inA.eof() && inB.eof();
}

std::string attributeOf(const fs::path& file, const char* name)
{
    char value[256] = {};
    const ssize_t length = ::getxattr(file.c_str(), name, value, sizeof value);
    return length < 0 ? "<none>" : std::string(value, std::size_t(length));
}

// An earlier backup that another user made: their owner, an open mode and an attribute of its
// own. The returned descriptor keeps its inode alive, so that a write into it can be seen.
UniqueFd plantStaleBackup(const fs::path& backup, bool withAttribute)
{
    testing::writeFileBytes(backup, "a backup someone else made");
    EXPECT_EQ(::chown(backup.c_str(), kStaleOwner, kStaleOwner), 0);
    EXPECT_EQ(::chmod(backup.c_str(), 0666), 0);
    if (withAttribute) {
        EXPECT_EQ(::setxattr(backup.c_str(), "user.stale", "old", 3, 0), 0);
    }
    return UniqueFd(::open(backup.c_str(), O_RDONLY | O_CLOEXEC));
}

// The stale backup's inode was left alone and is no longer linked: the copy went to a new file.
void expectStaleInodeUntouched(const UniqueFd& stale, const fs::path& backup)
{
    struct stat info {};
    ASSERT_EQ(::fstat(stale.get(), &info), 0);
    EXPECT_EQ(info.st_nlink, 0u) << "the name now holds another file";
    EXPECT_NE(info.st_ino, statOf(backup).st_ino);
    char bytes[64] = {};
    EXPECT_EQ(std::string(bytes, std::size_t(::pread(stale.get(), bytes, sizeof bytes, 0))),
              "a backup someone else made");
}

TEST(BackupFidelity, SparseFileIsCopiedWithItsHoles)
{
    testing::ScratchDir dir;
    const fs::path file = dir.path() / "image.ppt";
    constexpr off_t kLength = off_t(1) << 30;
    {
        UniqueFd out(::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        ASSERT_TRUE(out);
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
    EXPECT_TRUE(sameBytes(file, backup));
}

TEST(BackupFidelity, RunAsRootTheCopyIsANewFileOwnedLikeItsSource)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give files to other users";
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    const bool xattrs = !dir.path().empty();
    testing::ScratchDir plain;
    const fs::path folder = xattrs ? dir.path() : plain.path();
    const fs::path file = folder / "deck.ppt";
    testing::writeFileBytes(file, "what the owner wrote");
    ASSERT_EQ(::chown(file.c_str(), kSourceOwner, kSourceGroup), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    if (xattrs) {
        ASSERT_EQ(::setxattr(file.c_str(), "user.origin", "source", 6, 0), 0);
    }
    const fs::path backup = backupNameOf(file);
    const UniqueFd stale = plantStaleBackup(backup, xattrs);
    ASSERT_TRUE(stale);

    const Failure failure = backUpFile(file);
    ASSERT_FALSE(failure.failed()) << failure.text();
    expectStaleInodeUntouched(stale, backup);
    const struct stat info = statOf(backup);
    EXPECT_EQ(info.st_uid, kSourceOwner);
    EXPECT_EQ(info.st_gid, kSourceGroup);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(readFileBytes(backup), "what the owner wrote");
    if (!xattrs) GTEST_SKIP() << "no folder here keeps user.* extended attributes; owner and mode checked";
    EXPECT_EQ(attributeOf(backup, "user.origin"), "source");
    EXPECT_EQ(attributeOf(backup, "user.stale"), "<none>");
}

TEST(BackupFidelity, AnotherUserKeepsTheirOwnershipAndOpensTheCopyToNoNewGroup)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as uid 65534";
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);  // a shared folder, no sticky bit
    const fs::path file = dir.file("deck.ppt", "shared with the group, readable by all");
    ASSERT_EQ(::chown(file.c_str(), kSourceOwner, kSourceGroup), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0664), 0);
    ASSERT_EQ(::setxattr(file.c_str(), "user.origin", "source", 6, 0), 0);
    const fs::path backup = backupNameOf(file);
    const UniqueFd stale = plantStaleBackup(backup, true);
    ASSERT_TRUE(stale);

    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(2);
        ::_exit(backUpFile(file).failed() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    expectStaleInodeUntouched(stale, backup);
    const struct stat info = statOf(backup);
    EXPECT_EQ(info.st_uid, kNobody) << "cannot give the copy away, keeps it";
    EXPECT_EQ(info.st_gid, kNobody);
    EXPECT_EQ(info.st_mode & 07777, 0644u) << "its own group may read as all may, not write";
    EXPECT_EQ(readFileBytes(backup), "shared with the group, readable by all");
    EXPECT_EQ(attributeOf(backup, "user.origin"), "source");
    EXPECT_EQ(attributeOf(backup, "user.stale"), "<none>");
}

}  // namespace
}  // namespace quorvane::fileinfo
