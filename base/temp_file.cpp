#include "base/temp_file.h"

#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>
#include <vector>

namespace quorvane {
namespace {

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

}  // namespace

Result<TempFile> TempFile::createBeside(const std::string& target)
{
    std::string pattern = folderOf(target) + "/." + baseNameOf(target) + ".quorvane-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    UniqueFd fd(::mkostemp(buffer.data(), O_CLOEXEC));
    if (!fd) return Failure::fromErrno(errno);
    return TempFile(std::string(buffer.data()), PosixFile(std::move(fd)));
}

std::optional<TempFile> TempFile::besideOf(const std::string& target)
{
    auto created = createBeside(target);
    if (!created.ok()) return std::nullopt;
    return std::move(created).value();
}

TempFile::TempFile(TempFile&& other) noexcept
    : path_(std::move(other.path_)), file_(std::move(other.file_)), committed_(std::exchange(other.committed_, true))
{
    other.file_.reset();
}

TempFile::~TempFile()
{
    if (committed_) return;
    file_.reset();
    ::unlink(path_.c_str());
}

Failure TempFile::setMode(unsigned permissionBits)
{
    if (!file_) return Failure::fromErrno(EBADF);
    if (::fchmod(file_->fd(), mode_t(permissionBits & 07777)) != 0) return Failure::fromErrno(errno);
    return {};
}

bool TempFile::setPermissions(unsigned permissionBits) { return !setMode(permissionBits).failed(); }

Failure TempFile::commit(const std::string& target)
{
    if (!file_ || committed_) return Failure::fromErrno(EBADF);
    errno = 0;
    const bool synced = file_->sync();
    const int syncErrno = errno;
    // close() is checked even after a failed sync, and the first failure is the one reported.
    errno = 0;
    const bool closed = file_->close();
    const int closeErrno = errno;
    file_.reset();
    if (!synced) return Failure::fromErrno(syncErrno);
    if (!closed) return Failure::fromErrno(closeErrno);
    if (::rename(path_.c_str(), target.c_str()) != 0) return Failure::fromErrno(errno);
    committed_ = true;
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
    RandomAccessFile& file = wrapTarget ? wrapTarget(temp.file()) : temp.file();
    errno = 0;
    if (!writeContents(file)) return Failure::fromErrno(errno);
    // The mode is set before the sync so that one sync makes data and mode durable; the sync in
    // commit then finds nothing left to write.
    if (const Failure failure = temp.setMode(permissionBits); failure.failed()) return failure;
    errno = 0;
    if (!file.sync()) return Failure::fromErrno(errno);
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

bool syncParentFolder(const std::string& path) { return !syncFolderOf(path).failed(); }

}  // namespace quorvane
