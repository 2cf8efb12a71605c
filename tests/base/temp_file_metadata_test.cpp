// SPDX-License-Identifier: Apache-2.0
// A whole-file replacement keeps what belongs to the file it replaces (owner, group, every
// extended attribute, access ACL) or refuses; a named temporary file goes on an ending signal.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "base/temp_cleanup.h"
#include "base/temp_file.h"
#include "tests/support/corpus.h"
#include "tests/support/fileinfo_fixtures.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;
constexpr uid_t kOtherUser = 65534;

bool writeText(RandomAccessFile& file, std::string_view text)
{
    return file.writeAt(0, std::as_bytes(std::span(text)));
}

std::string attributeOf(const fs::path& file, const char* name)
{
    char value[256] = {};
    const ssize_t length = ::getxattr(file.c_str(), name, value, sizeof value);
    return length < 0 ? "<none>" : std::string(value, std::size_t(length));
}

// An access ACL in the kernel's xattr layout: version 2, then {tag, permissions, id} entries.
std::string aclGivingUser1234Read()
{
    std::string acl("\x02\0\0\0", 4);
    const auto entry = [&acl](std::uint16_t tag, std::uint16_t permissions, std::uint32_t id) {
        char bytes[8];
        std::memcpy(bytes, &tag, 2);
        std::memcpy(bytes + 2, &permissions, 2);
        std::memcpy(bytes + 4, &id, 4);
        acl.append(bytes, 8);
    };
    entry(0x01, 6, ~0u);   // owner rw
    entry(0x02, 4, 1234);  // user 1234 r
    entry(0x04, 4, ~0u);   // group r
    entry(0x10, 4, ~0u);   // mask r
    entry(0x20, 4, ~0u);   // others r
    return acl;
}

TEST(WholeFileReplacement, KeepsOwnerAttributesAndAclOrRefuses)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give files to another user";
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const fs::path target = dir.file("theirs.csv", "old");
    ASSERT_EQ(::chown(target.c_str(), kOtherUser, kOtherUser), 0);
    ASSERT_EQ(::setxattr(target.c_str(), "user.note", "kept", 4, 0), 0);
    const std::string acl = aclGivingUser1234Read();
    const bool aclTaken = ::setxattr(target.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) == 0;

    ASSERT_FALSE(replaceWholeFileContents(target, [](RandomAccessFile& f) { return writeText(f, "new"); }).failed());
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, kOtherUser) << "run as root, a rewrite must not hand the file to root";
    EXPECT_EQ(info.st_gid, kOtherUser);
    EXPECT_EQ(attributeOf(target, "user.note"), "kept");
    if (aclTaken) {
        EXPECT_EQ(attributeOf(target, "system.posix_acl_access"), acl);
    }
    EXPECT_EQ(testing::readFileBytes(target), "new");

    // Another user who may write the folder but cannot give the file root's ownership is refused.
    const fs::path rootsFile = dir.file("roots.csv", "old");
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(kOtherUser) != 0 || ::setuid(kOtherUser) != 0) ::_exit(2);
        const Failure failure =
            replaceWholeFileContents(rootsFile, [](RandomAccessFile& f) { return writeText(f, "new"); });
        ::_exit(failure.text() == "its owner cannot be kept: permission denied" ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "refused with the reason";
    EXPECT_EQ(testing::readFileBytes(rootsFile), "old");
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 2u) << "the refused copy is gone";
}

// A security label, trusted.* and the rest go with the content; an attribute this process may
// not give the new file refuses the change, and an access ACL that only the folder's default ACL
// would give the new file is not added.
TEST(WholeFileReplacement, CarriesEveryExtendedAttributeOrRefusesNamingIt)
{
    if (::geteuid() != 0) GTEST_SKIP() << "trusted.* and security.* attributes need root";
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const fs::path target = dir.file("labelled.csv", "old");
    if (::setxattr(target.c_str(), "trusted.quorvane", "t", 1, 0) != 0 ||
        ::setxattr(target.c_str(), "security.quorvane", "label", 5, 0) != 0)
        GTEST_SKIP() << "this file system takes no trusted.* or security.* attribute: " << std::strerror(errno);
    const std::string acl = aclGivingUser1234Read();
    const bool defaultAclTaken = ::setxattr(dir.path().c_str(), "system.posix_acl_default", acl.data(), acl.size(), 0) == 0;

    ASSERT_FALSE(replaceWholeFileContents(target, [](RandomAccessFile& f) { return writeText(f, "new"); }).failed());
    EXPECT_EQ(attributeOf(target, "trusted.quorvane"), "t");
    EXPECT_EQ(attributeOf(target, "security.quorvane"), "label");
    if (defaultAclTaken) {
        EXPECT_EQ(attributeOf(target, "system.posix_acl_access"), "<none>");
    }

    // Its owner may write the file and the folder, but only root may set a security.* attribute.
    ASSERT_EQ(::chown(target.c_str(), kOtherUser, kOtherUser), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(kOtherUser) != 0 || ::setuid(kOtherUser) != 0) ::_exit(2);
        const std::string text =
            replaceWholeFileContents(target, [](RandomAccessFile& f) { return writeText(f, "newer"); }).text();
        if (text == "its extended attributes cannot be kept: security.quorvane: permission denied") ::_exit(0);
        std::fprintf(stderr, "refused as: %s\n", text.c_str());
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "refused with the attribute's name";
    EXPECT_EQ(testing::readFileBytes(target), "new");
    EXPECT_EQ(attributeOf(target, "security.quorvane"), "label");
}

TEST(TempCleanup, AnEndingSignalRemovesRegisteredNamesAndStillEndsTheProcess)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        const fs::path named = dir.file(".deck.pptx.quorvane-abcdef", "partial");
        const fs::path other = dir.file("deck.pptx", "kept");
        const pid_t child = ::fork();
        if (child == 0) {
            installTempCleanupHandlers();
            registerTempPath(named);
            unregisterTempPath(registerTempPath(other));
            ::raise(signal);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "signal " << signal;
        EXPECT_FALSE(fs::exists(named)) << "signal " << signal;
        EXPECT_TRUE(fs::exists(other)) << "an unregistered name stays";
    }
}

}  // namespace
}  // namespace quorvane
