// SPDX-License-Identifier: Apache-2.0
#include "base/random_access_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "base/flush_group.h"
#include "base/quiet_open.h"

namespace quorvane {

namespace {
constexpr std::uint64_t kCopyPieceBytes = 1 << 20;

// How long an open waits for another program to release a conflicting lock, and the longest
// pause between two tries. Another instance of this program holds a file for a few
// milliseconds per read or write; a lock held longer than the wait is reported.
constexpr std::chrono::milliseconds kLockWait{2000};
constexpr std::chrono::milliseconds kLongestLockPause{10};

// Takes the lock on the whole file, trying again with pauses that double up to
// kLongestLockPause until kLockWait has passed. Polling instead of F_OFD_SETLKW: a waiting
// F_OFD_SETLKW ends only by a signal, which would need a per-thread timer and a handler in every
// program that links the core; neither way is fair to a waiter, and the pauses stay below the
// gaps between one holder's release and the next holder's open.
Failure takeLock(int fd, bool exclusive)
{
    struct flock lock {};
    lock.l_type = exclusive ? F_WRLCK : F_RDLCK;
    lock.l_whence = SEEK_SET;
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    std::chrono::milliseconds pause{1};
    while (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EACCES) return Failure::fromErrno(errno);
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return lockedByAnotherProgram();
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, kLongestLockPause);
    }
    return {};
}

}  // namespace

bool RandomAccessFile::copyFrom(RandomAccessFile& source, std::uint64_t sourceOffset, std::uint64_t length,
                                std::uint64_t offset)
{
    std::vector<std::byte> piece(std::size_t(std::min(length, kCopyPieceBytes)));
    while (length > 0) {
        const auto chunk = std::span(piece).first(std::size_t(std::min<std::uint64_t>(length, piece.size())));
        if (!source.readAt(sourceOffset, chunk) || !writeAt(offset, chunk)) return false;
        sourceOffset += chunk.size();
        offset += chunk.size();
        length -= chunk.size();
    }
    return true;
}

Result<PosixFile> PosixFile::openOrFailure(const std::string& path, OpenMode mode)
{
    const bool writable = mode == OpenMode::ReadWriteExclusive;
    // O_NONBLOCK: a FIFO or device under the name is refused below instead of waited on; it has
    // no effect on the reads and writes of a regular file. Reading leaves the last-access time
    // as it was wherever the kernel lets it (quiet_open.h).
    UniqueFd fd = openWithoutAccessTime(path, (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (!fd) return Failure::fromErrno(errno);

    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return Failure::fromErrno(errno);
    if (!S_ISREG(info.st_mode)) return Failure(FailureKind::NotRegularFile, "not a regular file");

    // Open-file-description locks belong to this descriptor, not to the process, so two opens
    // inside one process exclude each other just as two processes do.
    if (Failure locked = takeLock(fd.get(), writable); locked.failed()) return locked;
    return PosixFile(std::move(fd));
}

std::optional<PosixFile> PosixFile::open(const std::string& path, OpenMode mode, bool* lockRefused)
{
    auto file = openOrFailure(path, mode);
    if (lockRefused) *lockRefused = file.failure().kind() == FailureKind::Locked;
    if (!file.ok()) return std::nullopt;
    return std::move(file).value();
}

bool PosixFile::readAt(std::uint64_t offset, std::span<std::byte> out)
{
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t got = ::pread(fd_.get(), out.data() + done, out.size() - done, off_t(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got == 0) errno = EIO;  // the file ends before the bytes asked for
        if (got <= 0) return false;
        done += std::size_t(got);
    }
    return true;
}

bool PosixFile::writeAt(std::uint64_t offset, std::span<const std::byte> data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t put = ::pwrite(fd_.get(), data.data() + done, data.size() - done, off_t(offset + done));
        if (put < 0 && errno == EINTR) continue;
        if (put == 0) errno = EIO;
        if (put <= 0) return false;
        done += std::size_t(put);
    }
    return true;
}

bool PosixFile::truncate(std::uint64_t length)
{
    return ::ftruncate(fd_.get(), off_t(length)) == 0;
}

bool PosixFile::sync()
{
    return syncDurably(fd_.get(), flushGroup_);
}

bool PosixFile::copyFrom(RandomAccessFile& source, std::uint64_t sourceOffset, std::uint64_t length,
                         std::uint64_t offset)
{
    auto* posixSource = dynamic_cast<PosixFile*>(&source);
    if (!posixSource) return RandomAccessFile::copyFrom(source, sourceOffset, length, offset);
    loff_t from = loff_t(sourceOffset);
    loff_t to = loff_t(offset);
    while (length > 0) {
        const ssize_t copied = ::copy_file_range(posixSource->fd(), &from, fd_.get(), &to, std::size_t(length), 0);
        if (copied < 0 && errno == EINTR) continue;
        if (copied < 0 && (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL))
            return RandomAccessFile::copyFrom(source, std::uint64_t(from), length, std::uint64_t(to));
        if (copied == 0) errno = EIO;  // the source ends early
        if (copied <= 0) return false;
        length -= std::uint64_t(copied);
    }
    return true;
}

std::optional<std::uint64_t> PosixFile::size()
{
    struct stat info {};
    if (::fstat(fd_.get(), &info) != 0) return std::nullopt;
    return std::uint64_t(info.st_size);
}

bool MemoryFile::readAt(std::uint64_t offset, std::span<std::byte> out)
{
    if (offset > bytes_.size() || out.size() > bytes_.size() - offset) return false;
    std::copy_n(bytes_.begin() + std::ptrdiff_t(offset), out.size(), out.begin());
    return true;
}

bool MemoryFile::writeAt(std::uint64_t offset, std::span<const std::byte> data)
{
    if (offset + data.size() > bytes_.size()) bytes_.resize(offset + data.size());
    std::copy(data.begin(), data.end(), bytes_.begin() + std::ptrdiff_t(offset));
    return true;
}

bool MemoryFile::truncate(std::uint64_t length)
{
    bytes_.resize(length);
    return true;
}

std::optional<std::vector<std::byte>> readWhole(RandomAccessFile& file, std::uint64_t maxBytes)
{
    const auto length = file.size();
    if (!length || *length > maxBytes) return std::nullopt;
    std::vector<std::byte> bytes(*length);
    if (!file.readAt(0, bytes)) return std::nullopt;
    return bytes;
}

}  // namespace quorvane
