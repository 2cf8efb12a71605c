#include "base/temp_file.h"

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

std::optional<TempFile> TempFile::besideOf(const std::string& target)
{
    std::string pattern = folderOf(target) + "/." + baseNameOf(target) + ".quorvane-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    UniqueFd fd(::mkostemp(buffer.data(), O_CLOEXEC));
    if (!fd) return std::nullopt;
    return TempFile(std::string(buffer.data()), PosixFile(std::move(fd)));
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

bool TempFile::setPermissions(unsigned permissionBits)
{
    return file_ && ::fchmod(file_->fd(), mode_t(permissionBits & 07777)) == 0;
}

bool TempFile::commitOver(const std::string& target)
{
    if (!file_ || committed_) return false;
    const bool written = file_->sync() && file_->close();
    file_.reset();
    if (!written || ::rename(path_.c_str(), target.c_str()) != 0) return false;
    committed_ = true;
    return syncParentFolder(target);
}

bool replaceWholeFile(const std::string& target, const std::function<bool(RandomAccessFile&)>& writeContents,
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
    auto temp = TempFile::besideOf(target);
    if (!temp) return false;
    RandomAccessFile& file = wrapTarget ? wrapTarget(temp->file()) : temp->file();
    // The mode is set before the sync so that one sync makes data and mode durable; the sync in
    // commitOver then finds nothing left to write.
    return writeContents(file) && temp->setPermissions(permissionBits) && file.sync() && temp->commitOver(target);
}

bool syncParentFolder(const std::string& path)
{
    UniqueFd folder(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder) return false;
    const bool synced = ::fsync(folder.get()) == 0;
    return folder.close() && synced;
}

}  // namespace quorvane
