#include "fileinfo/unchangeable_file.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/statvfs.h>

#include "base/unique_fd.h"

namespace quorvane::fileinfo {

Failure unchangeableFileRefusal(const std::string& path)
{
    struct statvfs volume {};
    if (::statvfs(path.c_str(), &volume) == 0 && (volume.f_flag & ST_RDONLY)) return Failure::fromErrno(EROFS);
    // Opened to read the flags only: no data is read, so no access time moves.
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    int flags = 0;
    if (!file || ::ioctl(file.get(), FS_IOC_GETFLAGS, &flags) != 0) return {};
    if (flags & FS_IMMUTABLE_FL) return Failure(FailureKind::ReadOnly, "the file is immutable: operation not permitted");
    if (flags & FS_APPEND_FL) return Failure(FailureKind::ReadOnly, "the file is append-only: operation not permitted");
    return {};
}

}  // namespace quorvane::fileinfo
