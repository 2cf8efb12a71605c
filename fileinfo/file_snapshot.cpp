// SPDX-License-Identifier: Apache-2.0
#include "fileinfo/file_snapshot.h"

#include <fcntl.h>
#include <cerrno>
#include <sys/stat.h>

#include "fileinfo/attribute_store.h"

namespace quorvane::fileinfo {
namespace {

constexpr std::int64_t kFileTimeUnitsPerSecond = 10'000'000;
constexpr std::int64_t kNanosecondsPerUnit = 100;
constexpr std::int64_t kNanosecondsPerMs = 1'000'000;
// Seconds from 1601-01-01 (FILETIME's origin) to 1970-01-01 (the POSIX epoch).
constexpr std::int64_t kFileTimeOriginToEpochSeconds = 11'644'473'600;

timespec timespecOfStatx(const statx_timestamp& stamp) { return timespec{stamp.tv_sec, long(stamp.tv_nsec)}; }

}  // namespace

convert::FileTime fileTimeOf(const timespec& instant)
{
    const std::int64_t secondsSinceOrigin = std::int64_t(instant.tv_sec) + kFileTimeOriginToEpochSeconds;
    if (secondsSinceOrigin < 0) return 0;
    return convert::FileTime(secondsSinceOrigin) * kFileTimeUnitsPerSecond +
           convert::FileTime(instant.tv_nsec / kNanosecondsPerUnit);
}

timespec timespecOf(convert::FileTime fileTime)
{
    timespec instant{};
    instant.tv_sec = time_t(std::int64_t(fileTime / kFileTimeUnitsPerSecond) - kFileTimeOriginToEpochSeconds);
    instant.tv_nsec = long(fileTime % kFileTimeUnitsPerSecond) * kNanosecondsPerUnit;
    return instant;
}

std::int64_t epochMsOf(const timespec& instant)
{
    return std::int64_t(instant.tv_sec) * 1000 + instant.tv_nsec / kNanosecondsPerMs;
}

timespec timespecOfEpochMs(std::int64_t utcMs)
{
    std::int64_t seconds = utcMs / 1000, ms = utcMs % 1000;
    if (ms < 0) --seconds, ms += 1000;
    return timespec{time_t(seconds), long(ms * kNanosecondsPerMs)};
}

bool sameInstant(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

bool FileEntryExists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

Result<FileSnapshot> readFileSnapshot(const std::string& path)
{
    struct statx info {};
    if (::statx(AT_FDCWD, path.c_str(), AT_STATX_SYNC_AS_STAT, STATX_BASIC_STATS | STATX_BTIME, &info) != 0) {
        const int statxErrno = errno;
        if (statxErrno == ENOENT || statxErrno == ENOTDIR) return Failure::fromErrno(statxErrno);
        return Failure::fromErrno(statxErrno).within("its attributes cannot be read");
    }
    if (!S_ISREG(info.stx_mode)) return Failure(FailureKind::NotRegularFile, "not a regular file");
    const auto attributes = attributeStateOf(path);
    if (!attributes.ok()) return attributes.failure();

    FileSnapshot snapshot;
    snapshot.attributes = attributes->word;
    snapshot.exactLastAccess = timespecOfStatx(info.stx_atime);
    snapshot.exactLastWrite = timespecOfStatx(info.stx_mtime);
    snapshot.lastAccessTime = fileTimeOf(snapshot.exactLastAccess);
    snapshot.lastWriteTime = fileTimeOf(snapshot.exactLastWrite);
    if (attributes->storedCreationTime) snapshot.creationTime = *attributes->storedCreationTime;
    else if (info.stx_mask & STATX_BTIME) snapshot.creationTime = fileTimeOf(timespecOfStatx(info.stx_btime));
    else snapshot.creationTime = snapshot.lastWriteTime;
    return snapshot;
}

std::optional<FileSnapshot> ReadFileAttributeData(const std::string& path)
{
    auto snapshot = readFileSnapshot(path);
    if (!snapshot.ok()) return std::nullopt;
    return std::move(snapshot).value();
}

}  // namespace quorvane::fileinfo
