// SPDX-License-Identifier: Apache-2.0
#include "fileinfo/backup.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "fileinfo/attribute_store.h"
#include "fileinfo/file_snapshot.h"
#include "fileinfo/file_times.h"
#include "base/random_access_file.h"
#include "base/temp_cleanup.h"
#include "base/temp_file.h"
#include "base/temp_name.h"

namespace quorvane::fileinfo {
namespace {

constexpr int kNameAttempts = 100;

// Whether the backup name is free or holds something the new copy may replace: an earlier
// backup file, or a symbolic link (replaced itself, never followed). A folder or any other
// non-file is no backup and is left alone.
Failure checkBackupNameIsReplaceable(const std::string& backupName)
{
    struct stat info {};
    if (::lstat(backupName.c_str(), &info) != 0) return errno == ENOENT ? Failure{} : Failure::fromErrno(errno);
    if (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode)) return {};
    return Failure(FailureKind::NotRegularFile, "not a regular file");
}

// Copies the data of `source` into `target` extent by extent, so that the source's holes stay
// holes (copy_file_range alone fills them on most file systems). The length is set last, as the
// file may end in a hole. The source is under a shared lock: its length cannot change meanwhile.
Failure copyKeepingHoles(PosixFile& source, RandomAccessFile& target)
{
    struct stat info {};
    if (::fstat(source.fd(), &info) != 0) return Failure::fromErrno(errno);
    const off_t length = info.st_size;
    for (off_t at = 0; at < length;) {
        off_t dataStart = ::lseek(source.fd(), at, SEEK_DATA);
        if (dataStart < 0 && errno == ENXIO) break;  // a hole from `at` to the end
        off_t holeStart = length;
        if (dataStart < 0 && errno == EINVAL) {      // no hole search here: all of it is data
            dataStart = at;
        } else if (dataStart < 0) {
            return Failure::fromErrno(errno);
        } else {
            holeStart = ::lseek(source.fd(), dataStart, SEEK_HOLE);
            if (holeStart < 0) return Failure::fromErrno(errno);
        }
        if (dataStart >= length) break;
        holeStart = std::min(holeStart, length);
        errno = 0;
        if (!target.copyFrom(source, std::uint64_t(dataStart), std::uint64_t(holeStart - dataStart),
                             std::uint64_t(dataStart)))
            return Failure::fromErrno(errno);
        at = holeStart;
    }
    errno = 0;
    if (!target.truncate(std::uint64_t(length))) return Failure::fromErrno(errno);
    return {};
}

// Refusals that leave a user with what they have: an owner, group or attribute that only root
// (or a capability) may give, or an id the file system cannot hold.
bool isNotOursToGive(int errnum) { return errnum == EPERM || errnum == EACCES || errnum == EINVAL; }

// Gives the copy the source's owner and group where this user may, and returns the permission
// bits the copy is to carry. A user who cannot give the group keeps their own, and that group
// then gets no access that others lack: the backup must not open the file to a group that the
// file itself keeps out.
Result<unsigned> giveOwnerOf(int copyFd, const struct stat& source)
{
    const unsigned mode = source.st_mode & 0777;
    if (::fchown(copyFd, source.st_uid, source.st_gid) == 0) return mode;
    if (!isNotOursToGive(errno)) return Failure::fromErrno(errno);
    if (::fchown(copyFd, uid_t(-1), source.st_gid) == 0) return mode;
    if (!isNotOursToGive(errno)) return Failure::fromErrno(errno);
    const unsigned othersAsGroup = (mode & 07) << 3;
    return (mode & ~070u) | (mode & othersAsGroup);
}

// The value of the extended attribute `name` of `fd`; nullopt with errno set on failure.
std::optional<std::vector<char>> attributeValue(int fd, const char* name)
{
    for (;;) {
        const ssize_t length = ::fgetxattr(fd, name, nullptr, 0);
        if (length < 0) return std::nullopt;
        // One byte more than asked: never a size-only query, even for an empty value.
        std::vector<char> value(std::size_t(length) + 1);
        const ssize_t got = ::fgetxattr(fd, name, value.data(), value.size());
        if (got >= 0) {
            value.resize(std::size_t(got));
            return value;
        }
        if (errno != ERANGE) return std::nullopt;  // ERANGE: it grew in between
    }
}

// Copies every extended attribute that the source lists onto the copy. One that this user may
// not read or set (trusted.*, a security.* label) or that the file system does not take is passed
// over; one that disappears meanwhile too.
Failure copyExtendedAttributes(int sourceFd, int copyFd)
{
    std::vector<char> names;  // NUL-terminated names, one after another, and one NUL more
    for (;;) {
        const ssize_t length = ::flistxattr(sourceFd, nullptr, 0);
        if (length < 0) return errno == ENOTSUP ? Failure{} : Failure::fromErrno(errno);
        names.assign(std::size_t(length) + 1, '\0');
        const ssize_t got = ::flistxattr(sourceFd, names.data(), names.size());
        if (got >= 0) {
            names.resize(std::size_t(got) + 1);
            names.back() = '\0';
            break;
        }
        if (errno != ERANGE) return Failure::fromErrno(errno);  // ERANGE: the list grew in between
    }
    for (std::size_t at = 0; at + 1 < names.size(); at += std::strlen(names.data() + at) + 1) {
        const char* name = names.data() + at;
        const auto value = attributeValue(sourceFd, name);
        if (!value && (errno == ENODATA || errno == ENOTSUP || isNotOursToGive(errno))) continue;
        if (!value) return Failure::fromErrno(errno);
        if (::fsetxattr(copyFd, name, value->data(), value->size(), 0) == 0) continue;
        if (errno == ENOTSUP || isNotOursToGive(errno)) continue;
        return Failure::fromErrno(errno);
    }
    return {};
}

// Links the unnamed copy under a fresh hidden name beside `backupName`, for the rename; called
// with the ending signals held back, and registers the name for removal on one.
Result<std::string> linkUnderHiddenName(int copyFd, const std::string& backupName)
{
    const std::string procPath = "/proc/self/fd/" + std::to_string(copyFd);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = temporaryNameBeside(backupName);
        // AT_EMPTY_PATH needs CAP_DAC_READ_SEARCH; /proc/self/fd serves everyone else.
        int linked = ::linkat(copyFd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH);
        if (linked != 0 && errno != EEXIST)
            linked = ::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
        if (linked == 0) return name;
        if (errno != EEXIST) return Failure::fromErrno(errno);
    }
    return Failure::fromErrno(EEXIST);
}

// Renames the finished copy over `backupName`, closes it and syncs the folder. TempFile::commit
// is not used: it gives its file the owner, extended attributes and metadata of the file that it
// replaces, and here that is an older backup, which anyone who may write the folder can have
// made. The copy's hidden name exists only registered (see TempFile::commit).
Failure renameOver(TempFile& copy, PosixFile& copyFile, const std::string& backupName, FlushGroup* flushGroup)
{
    {
        const CleanupSignalsBlocked blocked;
        if (blocked.endingBegun()) return Failure::fromErrno(EINTR);
        std::string name = copy.path();  // "" while unnamed
        int slot = -1;
        const bool linkedHere = name.empty();
        if (linkedHere) {
            auto linked = linkUnderHiddenName(copyFile.fd(), backupName);
            if (!linked.ok()) return linked.failure();
            name = std::move(linked).value();
            slot = registerTempPath(name);
        }
        if (::rename(name.c_str(), backupName.c_str()) != 0) {
            const Failure failure = Failure::fromErrno(errno);
            if (linkedHere) ::unlink(name.c_str());  // a named TempFile removes its own name
            unregisterTempPath(slot);
            return failure;
        }
        unregisterTempPath(slot);
    }
    errno = 0;
    if (!copyFile.close()) return Failure::fromErrno(errno);
    return syncFolderOf(backupName, flushGroup);
}

// Gives the copy the source's metadata, the order chosen so that each step is still allowed:
// the owner first (a change of owner clears capability attributes); the extended attributes and
// the creation time while the copy is writable to us (setting a user.* attribute needs that);
// the mode; the attribute word after the mode (its read-only bit is the mode); the times last,
// since nothing after them writes. The word and the times are not looked at (backup.h).
Failure giveMetadataOf(PosixFile& source, const struct stat& sourceInfo, const FileSnapshot& snapshot,
                       TempFile& copy, PosixFile& copyFile)
{
    const auto mode = giveOwnerOf(copyFile.fd(), sourceInfo);
    if (!mode.ok()) return mode.failure().within("its owner cannot be given");
    if (Failure failure = copyExtendedAttributes(source.fd(), copyFile.fd()); failure.failed())
        return failure.within("its extended attributes cannot be copied");
    // The attribute store works on names; this one reaches the copy, which has none yet.
    const std::string copyPath = "/proc/self/fd/" + std::to_string(copyFile.fd());
    setCreationTime(copyPath, snapshot.creationTime);
    if (Failure failure = copy.setMode(*mode); failure.failed()) return failure;
    setAttributeWord(copyPath, snapshot.attributes);
    const timespec times[2] = {snapshot.exactLastAccess, snapshot.exactLastWrite};
    ::futimens(copyFile.fd(), times);
    return {};
}

Failure copyInto(const std::string& path, const FileSnapshot& snapshot, const std::string& backupName,
                 const TargetWrapper& wrapTarget, FlushGroup* flushGroup)
{
    auto source = PosixFile::openOrFailure(path, OpenMode::ReadShared);
    if (!source.ok()) return source.failure();
    struct stat sourceInfo {};
    if (::fstat(source->fd(), &sourceInfo) != 0) return Failure::fromErrno(errno);
    auto created = TempFile::createBeside(backupName);
    if (!created.ok()) return created.failure();
    TempFile& copy = created.value();
    auto& copyFile = dynamic_cast<PosixFile&>(copy.file());  // a TempFile's file is a PosixFile
    copyFile.shareFlushesWith(flushGroup);
    RandomAccessFile& target = wrapTarget ? wrapTarget(copyFile) : copyFile;

    if (Failure failure = copyKeepingHoles(source.value(), target); failure.failed()) return failure;
    if (Failure failure = giveMetadataOf(source.value(), sourceInfo, snapshot, copy, copyFile); failure.failed())
        return failure;
    errno = 0;
    if (!target.sync()) return Failure::fromErrno(errno);
    return renameOver(copy, copyFile, backupName, flushGroup);
}

}  // namespace

std::string backupNameOf(const std::string& path) { return path + ".bak"; }

Failure backUpFile(const std::string& path, const TargetWrapper& wrapTarget, FlushGroup* flushGroup)
{
    const std::string backupName = backupNameOf(path);
    if (Failure failure = checkBackupNameIsReplaceable(backupName); failure.failed()) return failure;
    const auto snapshot = readFileSnapshot(path);
    if (!snapshot.ok()) return snapshot.failure();
    const Failure failure = copyInto(path, *snapshot, backupName, wrapTarget, flushGroup);
    // ntfs-3g sets the archive bit of a file renamed into place, whatever the copy carried: the
    // word goes on again under its new name there. Not looked at (the copy is the backup).
    if (!failure.failed())
        if (const auto state = readAttributeState(backupName); state && state->word != snapshot->attributes)
            setAttributeWord(backupName, snapshot->attributes);
    // Reading the file for the copy may have moved its last-access time; the change that follows
    // takes its own snapshot now, and must find the time the file had. Not looked at.
    putLastAccessBack(path, *snapshot);
    return failure;
}

bool backupoldfile(const std::string& path, const TargetWrapper& wrapTarget)
{
    return !backUpFile(path, wrapTarget).failed();
}

}  // namespace quorvane::fileinfo
