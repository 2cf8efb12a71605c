// SPDX-License-Identifier: Apache-2.0
#include "base/temp_file.h"

#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "base/folder_of.h"
#include "base/flush_group.h"
#include "base/temp_cleanup.h"
#include "base/temp_name.h"

namespace quorvane {
namespace {

constexpr std::string_view kAclAccessName = "system.posix_acl_access";
constexpr int kNameAttempts = 100;

// The value of an extended attribute as `get` (lgetxattr or fgetxattr of one name and file,
// given a buffer and its size) reads it; the system's failure, or NotFound when there is none.
Result<std::vector<std::byte>> attributeValue(const std::function<ssize_t(void*, std::size_t)>& get)
{
    for (;;) {
        const ssize_t length = get(nullptr, 0);
        if (length < 0 && errno == ENODATA) return Failure(FailureKind::NotFound, "no such attribute");
        if (length < 0) return Failure::fromErrno(errno);
        std::vector<std::byte> value(static_cast<std::size_t>(length), std::byte{0});
        const ssize_t got = get(value.data(), value.size());
        if (got >= 0) {
            value.resize(std::size_t(got));
            return value;
        }
        if (errno != ERANGE) return Failure::fromErrno(errno);  // ERANGE: it grew in between
    }
}

Result<std::vector<std::byte>> attributeOfPath(const std::string& path, const std::string& name)
{
    return attributeValue([&](void* buffer, std::size_t size) { return ::lgetxattr(path.c_str(), name.c_str(), buffer, size); });
}

// The names of the extended attributes of `path` (not followed) that this process may see;
// none on a file system that keeps no extended attributes.
Result<std::vector<std::string>> attributeNamesOf(const std::string& path)
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
        names.emplace_back(list.data() + at);
        at += names.back().size() + 1;
    }
    return names;
}

// Gives the new file `fd` every extended attribute of `target` that it lacks or holds with
// another value (a security label, trusted.*, user.*, the access ACL, ...), and takes from it an
// access ACL that `target` does not have (one the folder's default ACL gave the new file). The
// failure names the attribute: "security.selinux: operation not permitted".
Failure carryExtendedAttributes(const std::string& target, int fd)
{
    const auto names = attributeNamesOf(target);
    if (!names.ok()) return names.failure();
    bool targetHasAcl = false;
    for (const std::string& name : *names) {
        targetHasAcl = targetHasAcl || name == kAclAccessName;
        const auto value = attributeOfPath(target, name);
        if (!value.ok() && value.failure().kind() == FailureKind::NotFound) continue;  // removed meanwhile
        if (!value.ok()) return value.failure().within(name);
        const auto own = attributeValue([&](void* buffer, std::size_t size) { return ::fgetxattr(fd, name.c_str(), buffer, size); });
        if (own.ok() && *own == *value) continue;  // the system gave the new file the same (a label by policy)
        if (::fsetxattr(fd, name.c_str(), value->data(), value->size(), 0) != 0) return Failure::fromErrno(errno).within(name);
    }
    if (!targetHasAcl && ::fremovexattr(fd, kAclAccessName.data()) != 0 && errno != ENODATA && errno != ENOTSUP)
        return Failure::fromErrno(errno).within(kAclAccessName);
    return {};
}

bool isIn(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Stores those of `attributes` that are (`marked`) or are not among `markNames` on the new file
// `fd`; a file system without extended attributes is let off where `target` has none of that
// name either (nothing to keep there).
Failure storeFinalAttributes(int fd, const std::string& target, const std::vector<ExtendedAttribute>& attributes,
                             const std::vector<std::string>& markNames, bool marked)
{
    for (const ExtendedAttribute& attribute : attributes) {
        if (isIn(markNames, attribute.name) != marked) continue;
        if (::fsetxattr(fd, attribute.name.c_str(), attribute.value.data(), attribute.value.size(), 0) == 0) continue;
        if (errno == ENOTSUP && ::lgetxattr(target.c_str(), attribute.name.c_str(), nullptr, 0) < 0) continue;
        return Failure::fromErrno(errno).within("its attributes cannot be stored");
    }
    return {};
}

}  // namespace

Result<TempFile> TempFile::createBeside(const std::string& target, const FinalMetadata* finalMetadata)
{
    removeStaleTemporaryFilesNowAndThen(folderOf(target));
    UniqueFd unnamed(::open(folderOf(target).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    if (unnamed) return TempFile("", PosixFile(std::move(unnamed)), -1);
    // EOPNOTSUPP: the file system has no unnamed files; EISDIR or EINVAL: the kernel predates them.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return Failure::fromErrno(errno);

    const CleanupSignalsBlocked blocked;  // the name exists only registered
    if (blocked.endingBegun()) return Failure::fromErrno(EINTR);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = temporaryNameBeside(target);
        UniqueFd fd(::open(name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600));
        if (!fd && errno == EEXIST) continue;
        if (!fd) return Failure::fromErrno(errno);
        const int slot = registerTempPath(name);
        std::vector<std::string> markNames;
        // A mark refused is let be: it only hides a leftover from a file browser (the leading
        // dot hides nothing on Windows). The final attributes replace it right before the rename.
        for (const ExtendedAttribute& mark : finalMetadata ? finalMetadata->temporaryMark : std::vector<ExtendedAttribute>{})
            if (::fsetxattr(fd.get(), mark.name.c_str(), mark.value.data(), mark.value.size(), 0) == 0)
                markNames.push_back(mark.name);
        TempFile created(std::move(name), PosixFile(std::move(fd)), slot);
        created.markNames_ = std::move(markNames);
        return created;
    }
    return Failure::fromErrno(EEXIST);
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
      markNames_(std::move(other.markNames_)), committed_(std::exchange(other.committed_, true))
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

    if (Failure failure = carryExtendedAttributes(target, fd); failure.failed())
        return failure.within("its extended attributes cannot be kept");
    // The final attribute word before the final mode, for the same reason.
    if (final)
        if (Failure failure = storeFinalAttributes(fd, target, final->extendedAttributes, markNames_, false); failure.failed()) return failure;
    // The mode after the owner (a change of owner may clear set-id bits) and after the ACL (whose
    // mask and the group bits are one value); the times last, as nothing after them writes.
    const unsigned mode = final ? final->permissionBits : permissionBits_.value_or(own.st_mode & 07777);
    if (::fchmod(fd, mode_t(mode)) != 0) return Failure::fromErrno(errno);
    if (!final) return {};
    if (Failure failure = storeFinalAttributes(fd, target, final->extendedAttributesAfterMode, markNames_, false); failure.failed())
        return failure;
    const timespec times[2] = {final->lastAccess, final->lastWrite};
    if (::futimens(fd, times) != 0) return Failure::fromErrno(errno);
    return {};
}

Failure TempFile::giveName(const std::string& target)
{
    const std::string procPath = "/proc/self/fd/" + std::to_string(file_->fd());
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = temporaryNameBeside(target);
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
    const bool replacesFile = ::lstat(target.c_str(), &replaced) == 0 && S_ISREG(replaced.st_mode);
    if (replacesFile)
        if (Failure failure = takeMetadataOf(target, replaced, finalMetadata); failure.failed()) return failure;
    FlushGroup* flushGroup = finalMetadata ? finalMetadata->flushGroup : nullptr;
    file_->shareFlushesWith(flushGroup);
    errno = 0;
    const bool synced = (written_ ? *written_ : *file_).sync();
    const int syncErrno = errno;
    if (!synced) return Failure::fromErrno(syncErrno);
    // A complete new file stays hidden until its rename: the attributes that replace its mark
    // (the attribute word) are the last thing stored. Times and mode are not touched by them.
    if (replacesFile && finalMetadata)
        for (const auto* attributes : {&finalMetadata->extendedAttributes, &finalMetadata->extendedAttributesAfterMode})
            if (Failure failure = storeFinalAttributes(file_->fd(), target, *attributes, markNames_, true); failure.failed())
                return failure;
    {
        // Named, renamed and unregistered with the ending signals held back, so that the name
        // exists only registered. The name is given right before the rename: until then a kill
        // leaves nothing behind, and only a SIGKILL between the two leaves the named file.
        const CleanupSignalsBlocked blocked;
        if (blocked.endingBegun()) return Failure::fromErrno(EINTR);
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
    return syncFolderOf(target, flushGroup);
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

Failure syncFolderOf(const std::string& path, FlushGroup* flushGroup)
{
    UniqueFd folder(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder) return Failure::fromErrno(errno);
    const bool synced = syncDurably(folder.get(), flushGroup);
    const int syncErrno = errno;
    errno = 0;
    const bool closed = folder.close();
    if (!synced) return Failure::fromErrno(syncErrno);
    if (!closed) return Failure::fromErrno(errno);
    return {};
}

}  // namespace quorvane
