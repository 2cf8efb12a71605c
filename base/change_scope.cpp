#include "base/change_scope.h"

#include <cerrno>

namespace quorvane {
namespace {

constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

// The innermost open scope of this thread; each scope links to the one it was opened in.
thread_local ChangeScope* innermostScope = nullptr;

}  // namespace

ChangeScope::ChangeScope(const struct stat& identity, FinalMetadata finalMetadata)
    : device_(identity.st_dev), inode_(identity.st_ino), finalMetadata_(std::move(finalMetadata)),
      outer_(innermostScope)
{
    innermostScope = this;
}

ChangeScope::~ChangeScope()
{
    // Scopes are objects with automatic lifetime on one thread, so they close in reverse order.
    innermostScope = outer_;
}

const FinalMetadata* finalMetadataFor(const struct stat& info)
{
    for (const ChangeScope* scope = innermostScope; scope; scope = scope->outer())
        if (scope->covers(info)) return &scope->finalMetadata();
    return nullptr;
}

void followReplacedFile(const struct stat& replaced, const struct stat& replacement)
{
    for (ChangeScope* scope = innermostScope; scope; scope = scope->outer_) {
        if (!scope->covers(replaced)) continue;
        scope->device_ = replacement.st_dev;
        scope->inode_ = replacement.st_ino;
    }
}

bool refusedAsReadOnly(const struct stat& info)
{
    return (info.st_mode & kAnyWriteBit) == 0 && !finalMetadataFor(info);
}

Result<PosixFile> openForChange(const std::string& path)
{
    auto opened = PosixFile::openOrFailure(path, OpenMode::ReadWriteExclusive);
    if (opened.ok() || opened.failure().kind() != FailureKind::Permission) return opened;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || (info.st_mode & kAnyWriteBit) != 0 || !finalMetadataFor(info))
        return opened;
    const mode_t mode = info.st_mode & 07777;
    if (::chmod(path.c_str(), mode | S_IWUSR) != 0)
        return Failure::fromErrno(errno).within("read-only cannot be cleared");
    auto reopened = PosixFile::openOrFailure(path, OpenMode::ReadWriteExclusive);
    if (::chmod(path.c_str(), mode) != 0) return Failure::fromErrno(errno).within("read-only cannot be put back");
    return reopened;
}

Failure writeFileInPlace(const std::string& path, const std::function<Failure(RandomAccessFile&)>& write)
{
    auto file = openForChange(path);
    if (!file.ok()) return file.failure();
    struct stat info {};
    if (::fstat(file->fd(), &info) != 0) return Failure::fromErrno(errno);
    if (refusedAsReadOnly(info)) return readOnlyFile();
    const Failure written = write(file.value());
    const bool closed = file.value().close();
    if (written.failed()) return written;
    return closed ? Failure{} : Failure::fromErrno(errno);
}

}  // namespace quorvane
