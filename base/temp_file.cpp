// SPDX-License-Identifier: Apache-2.0
#include "base/temp_file.h"

#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "base/temp_cleanup.h"

namespace quorvane {
namespace {

constexpr std::string_view kAclAccessName = "system.posix_acl_access";
constexpr int kNameAttempts = 100;

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseNameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The hidden name of a temporary file beside `target`, less its six-character suffix.
std::string hiddenNameStem(const std::string& target)
{
    return folderOf(target) + "/." + baseNameOf(target) + ".quorvane-";
}

// Six characters that make a hidden name unique with high probability (mkostemp's alphabet).
std::string randomSuffix()
{
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char bytes[6] = {};
    if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != ssize_t(sizeof bytes)) {
        timespec now {};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        std::uint64_t mix = std::uint64_t(now.tv_nsec) * 0x9E3779B97F4A7C15ull ^ std::uint64_t(::getpid());
        for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(mix >>= 8);
    }
    std::string suffix;
    for (const unsigned char byte : bytes) suffix += kAlphabet[byte % (sizeof kAlphabet - 1)];
    return suffix;
}

// The value of the extended attribute `name` of `path` (not followed), or the system's failure.
Result<std::vector<std::byte>> extendedAttributeOf(const std::string& path, const std::string& name)
{
    for (;;) {
        const ssize_t length = ::lgetxattr(path.c_str(), name.c_str(), nullptr, 0);
        if (length < 0 && errno == ENODATA) return Failure(FailureKind::NotFound, "no such attribute");
        if (length < 0) return Failure::fromErrno(errno);
        std::vector<std::byte> value(static_cast<std::size_t>(length), std::byte{0});
        const ssize_t got = ::lgetxattr(path.c_str(), name.c_str(), value.data(), value.size());
        if (got >= 0) {
            value.resize(std::size_t(got));
            return value;
        }
        if (errno != ERANGE) return Failure::fromErrno(errno);  // ERANGE: it grew in between
    }
}

// The names of the extended attributes of `path` (not followed) that a replacement keeps: the
// user.* namespace and the access ACL. None on a file system that keeps no extended attributes.
Result<std::vector<std::string>> keptAttributeNamesOf(const std::string& path)
{
    std::vector<char> list;
    for (;;) {
        const ssize_t length = ::llistxattr(path.c_str(), nullptr, 0);
        if (length < 0) {
            if (errno == ENOTSUP) return std::vector<std::string>{};
            return Failure::fromErrno(errno);
        }
        list.resize(std::size_t(length));
        const ssize_t got = ::llistxattr(path.c_str(), list.data(), list.size());
        if (got >= 0) {
            list.resize(std::size_t(got));
            break;
        }
        if (errno != ERANGE) return Failure::fromErrno(errno);
    }
    std::vector<std::string> names;
    for (std::size_t at = 0; at < list.size();) {
        const std::string name(list.data() + at);
        at += name.size() + 1;
        if (name.starts_with("user.") || name == kAclAccessName) names.push_back(name);
    }
    return names;
}

bool hasExtendedAttribute(const std::string& path, const std::string& name)
{
    return ::lgetxattr(path.c_str(), name.c_str(), nullptr, 0) >= 0;
}

}  // namespace

Result<TempFile> TempFile::createBeside(const std::string& target)
{
    UniqueFd unnamed(::open(folderOf(target).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    if (unnamed) return TempFile("", PosixFile(std::move(unnamed)), -1);
    // EOPNOTSUPP: the file system has no unnamed files; EISDIR or EINVAL: the kernel predates them.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return Failure::fromErrno(errno);

    std::string pattern = hiddenNameStem(target) + "XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const CleanupSignalsBlocked blocked;  // the name exists only registered
    UniqueFd fd(::mkostemp(buffer.data(), O_CLOEXEC));
    if (!fd) return Failure::fromErrno(errno);
    const int slot = registerTempPath(buffer.data());
    return TempFile(std::string(buffer.data()), PosixFile(std::move(fd)), slot);
}

std::optional<TempFile> TempFile::besideOf(const std::string& target)
{
    auto created = createBeside(target);
    if (!created.ok()) return std::nullopt;
    return std::move(created).value();
}

TempFile::TempFile(TempFile&& other) noexcept
    : path_(std::move(other.path_)), file_(std::move(other.file_)), written_(std::exchange(other.written_, nullptr)),
      cleanupSlot_(std::exchange(other.cleanupSlot_, -1)), permissionBits_(other.permissionBits_),
      committed_(std::exchange(other.committed_, true))
{
    other.file_.reset();
}

TempFile::~TempFile()
{
    if (committed_) return;
    file_.reset();  // an unnamed file is gone with its last descriptor
    if (path_.empty()) return;
    const CleanupSignalsBlocked blocked;
    ::unlink(path_.c_str());
    unregisterTempPath(cleanupSlot_);
}

RandomAccessFile& TempFile::writtenThrough(const TargetWrapper& wrap)
{
    written_ = wrap ? &wrap(*file_) : nullptr;
    return written_ ? *written_ : *file_;
}

Failure TempFile::setMode(unsigned permissionBits)
{
    if (!file_) return Failure::fromErrno(EBADF);
    if (::fchmod(file_->fd(), mode_t(permissionBits & 07777)) != 0) return Failure::fromErrno(errno);
    permissionBits_ = permissionBits & 07777;
    return {};
}

bool TempFile::setPermissions(unsigned permissionBits) { return !setMode(permissionBits).failed(); }

Failure TempFile::takeMetadataOf(const std::string& target, const struct stat& replaced, const FinalMetadata* final)
{
    const int fd = file_->fd();
    struct stat own {};
    if (::fstat(fd, &own) != 0) return Failure::fromErrno(errno);
    // Run by root over another user's file, a rewrite must not hand that file to root; a user who
    // may not give the owner or group back is refused instead.
    if ((own.st_uid != replaced.st_uid || own.st_gid != replaced.st_gid) &&
        ::fchown(fd, replaced.st_uid, replaced.st_gid) != 0)
        return Failure::fromErrno(errno).within("its owner cannot be kept");

    // A user's extended attributes can be written only while the file is writable; an earlier
    // setMode may already have given it a read-only file's mode. The mode is set again below.
    if ((own.st_mode & S_IWUSR) == 0 && ::fchmod(fd, (own.st_mode & 07777) | S_IWUSR) != 0)
        return Failure::fromErrno(errno);

    const auto names = keptAttributeNamesOf(target);
    if (!names.ok()) return names.failure().within("its extended attributes cannot be kept");
    for (const std::string& name : *names) {
        const auto value = extendedAttributeOf(target, name);
        if (!value.ok() && value.failure().kind() == FailureKind::NotFound) continue;  // removed meanwhile
        if (!value.ok()) return value.failure().within("its extended attributes cannot be kept");
        if (::fsetxattr(fd, name.c_str(), value->data(), value->size(), 0) != 0)
            return Failure::fromErrno(errno).within("its extended attributes cannot be kept");
    }

    // The final attribute word before the final mode, for the same reason.
    if (final) {
        for (const ExtendedAttribute& attribute : final->extendedAttributes) {
            if (::fsetxattr(fd, attribute.name.c_str(), attribute.value.data(), attribute.value.size(), 0) == 0)
                continue;
            // A file system without extended attributes: nothing to keep there unless the file had one.
            if (errno == ENOTSUP && !hasExtendedAttribute(target, attribute.name)) continue;
            return Failure::fromErrno(errno).within("its attributes cannot be stored");
        }
    }
    // The mode after the owner (a change of owner may clear set-id bits) and after the ACL (whose
    // mask and the group bits are one value); the times last, as nothing after them writes.
    const unsigned mode = final ? final->permissionBits : permissionBits_.value_or(own.st_mode & 07777);
    if (::fchmod(fd, mode_t(mode)) != 0) return Failure::fromErrno(errno);
    if (!final) return {};
    const timespec times[2] = {final->lastAccess, final->lastWrite};
    if (::futimens(fd, times) != 0) return Failure::fromErrno(errno);
    return {};
}

Failure TempFile::giveName(const std::string& target)
{
    const std::string stem = hiddenNameStem(target);
    const std::string procPath = "/proc/self/fd/" + std::to_string(file_->fd());
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = stem + randomSuffix();
        // AT_EMPTY_PATH needs CAP_DAC_READ_SEARCH; /proc/self/fd serves everyone else.
        int linked = ::linkat(file_->fd(), "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH);
        if (linked != 0 && errno != EEXIST)
            linked = ::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
        if (linked == 0) {
            cleanupSlot_ = registerTempPath(name);
            path_ = std::move(name);
            return {};
        }
        if (errno != EEXIST) return Failure::fromErrno(errno);
    }
    return Failure::fromErrno(EEXIST);
}

Failure TempFile::commit(const std::string& target, const FinalMetadata* finalMetadata)
{
    if (!file_ || committed_) return Failure::fromErrno(EBADF);
    struct stat replaced {};
    if (::lstat(target.c_str(), &replaced) == 0 && S_ISREG(replaced.st_mode))
        if (Failure failure = takeMetadataOf(target, replaced, finalMetadata); failure.failed()) return failure;
    errno = 0;
    const bool synced = (written_ ? *written_ : *file_).sync();
    const int syncErrno = errno;
    if (!synced) return Failure::fromErrno(syncErrno);
    {
        // Named, renamed and unregistered with the ending signals held back, so that the name
        // exists only registered. The name is given right before the rename: until then a kill
        // leaves nothing behind, and only a SIGKILL between the two leaves the named file.
        const CleanupSignalsBlocked blocked;
        if (path_.empty())
            if (Failure failure = giveName(target); failure.failed()) return failure;
        if (::rename(path_.c_str(), target.c_str()) != 0) return Failure::fromErrno(errno);
        unregisterTempPath(std::exchange(cleanupSlot_, -1));
        committed_ = true;
    }
    // Closed after the rename, the data synced before it: a failed close is reported with the
    // new file in place, like a failed sync of the folder.
    errno = 0;
    const bool closed = file_->close();
    const int closeErrno = errno;
    file_.reset();
    if (!closed) return Failure::fromErrno(closeErrno);
    return syncFolderOf(target);
}

bool TempFile::commitOver(const std::string& target) { return !commit(target).failed(); }

Failure replaceWholeFileContents(const std::string& target,
                                 const std::function<bool(RandomAccessFile&)>& writeContents,
                                 const TargetWrapper& wrapTarget)
{
    struct stat existing {};
    unsigned permissionBits = 0;
    if (::stat(target.c_str(), &existing) == 0) {
        permissionBits = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(022);
        ::umask(mask);
        permissionBits = 0666 & ~mask;
    }
    auto created = TempFile::createBeside(target);
    if (!created.ok()) return created.failure();
    TempFile& temp = created.value();
    errno = 0;
    if (!writeContents(temp.writtenThrough(wrapTarget))) return Failure::fromErrno(errno);
    if (const Failure failure = temp.setMode(permissionBits); failure.failed()) return failure;
    return temp.commit(target);
}

bool replaceWholeFile(const std::string& target, const std::function<bool(RandomAccessFile&)>& writeContents,
                      const TargetWrapper& wrapTarget)
{
    return !replaceWholeFileContents(target, writeContents, wrapTarget).failed();
}

Failure syncFolderOf(const std::string& path)
{
    UniqueFd folder(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder) return Failure::fromErrno(errno);
    const bool synced = ::fsync(folder.get()) == 0;
    const int syncErrno = errno;
    errno = 0;
    const bool closed = folder.close();
    if (!synced) return Failure::fromErrno(syncErrno);
    if (!closed) return Failure::fromErrno(errno);
    return {};
}

}  // namespace quorvane
