// SPDX-License-Identifier: Apache-2.0
#include "base/change_scope.h"

#include <cerrno>
#include <cstdlib>
#include <memory>

namespace quorvane {
namespace {

constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr int kOpenAttemptsOnReplacement = 3;

}  // namespace

bool refusedAsReadOnly(const struct stat& info, const FinalMetadata* finalMetadata)
{
    return (info.st_mode & kAnyWriteBit) == 0 && !finalMetadata;
}

Result<PosixFile> openForChange(const std::string& path, const FinalMetadata* finalMetadata)
{
    auto opened = PosixFile::openOrFailure(path, OpenMode::ReadWriteExclusive);
    if (opened.ok() && finalMetadata) opened->shareFlushesWith(finalMetadata->flushGroup);
    if (opened.ok() || opened.failure().kind() != FailureKind::Permission) return opened;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || (info.st_mode & kAnyWriteBit) != 0 || !finalMetadata) return opened;
    const mode_t mode = info.st_mode & 07777;
    if (::chmod(path.c_str(), mode | S_IWUSR) != 0)
        return Failure::fromErrno(errno).within("read-only cannot be cleared");
    auto reopened = PosixFile::openOrFailure(path, OpenMode::ReadWriteExclusive);
    if (reopened.ok()) reopened->shareFlushesWith(finalMetadata->flushGroup);
    if (::chmod(path.c_str(), mode) != 0) return Failure::fromErrno(errno).within("read-only cannot be put back");
    return reopened;
}

Result<EditedFile> openFileForEdit(const std::string& givenPath, bool forChange, const FinalMetadata* finalMetadata)
{
    const std::unique_ptr<char, decltype(&::free)> resolved(::realpath(givenPath.c_str(), nullptr), &::free);
    if (!resolved) return Failure::fromErrno(errno);
    std::string path = resolved.get();
    // A writer whose lock we waited for may have renamed a new file over the name meanwhile; a
    // change is then made to that one, opened anew.
    for (int attempt = 1;; ++attempt) {
        auto file = forChange ? openForChange(path, finalMetadata) : PosixFile::openOrFailure(path, OpenMode::ReadShared);
        if (!file.ok()) return file.failure();
        struct stat info {};
        if (::fstat(file->fd(), &info) != 0) return Failure::fromErrno(errno);
        if (!forChange) return EditedFile{std::move(path), std::move(file).value(), info};
        if (refusedAsReadOnly(info, finalMetadata)) return readOnlyFile();
        struct stat named {};
        if (::stat(path.c_str(), &named) != 0) return Failure::fromErrno(errno);
        if (named.st_ino == info.st_ino && named.st_dev == info.st_dev)
            return EditedFile{std::move(path), std::move(file).value(), info};
        if (attempt == kOpenAttemptsOnReplacement) return lockedByAnotherProgram();
    }
}

Failure writeFileInPlace(const std::string& path, const FinalMetadata* finalMetadata,
                         const std::function<Failure(RandomAccessFile&)>& write)
{
    auto file = openForChange(path, finalMetadata);
    if (!file.ok()) return file.failure();
    struct stat info {};
    if (::fstat(file->fd(), &info) != 0) return Failure::fromErrno(errno);
    if (refusedAsReadOnly(info, finalMetadata)) return readOnlyFile();
    const Failure written = write(file.value());
    const bool closed = file.value().close();
    if (written.failed()) return written;
    return closed ? Failure{} : Failure::fromErrno(errno);
}

}  // namespace quorvane
