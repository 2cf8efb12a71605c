#include "package/package_file.h"

#include <cerrno>

namespace quorvane::package {

Result<PosixFile> openPackageFile(const std::string& path, OpenMode mode)
{
    bool lockRefused = false;
    // PosixFile::open leaves errno as the failed open(), fstat() or fcntl() set it; a regular-file
    // check that fails sets none, so errno stays 0 for that case alone.
    errno = 0;
    auto file = PosixFile::open(path, mode, &lockRefused);
    if (file) return std::move(*file);
    if (lockRefused) return lockedByAnotherProgram();
    if (errno == 0) return Failure(FailureKind::NotRegularFile, "not a regular file");
    return Failure::fromErrno(errno);
}

}  // namespace quorvane::package
