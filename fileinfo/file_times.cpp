// SPDX-License-Identifier: Apache-2.0
#include "fileinfo/file_times.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "convert/display_text.h"
#include "fileinfo/attribute_store.h"
#include "base/random_access_file.h"

namespace quorvane::fileinfo {
namespace {

// 1601-01-01 00:00 UTC in POSIX seconds: the first instant a FILETIME holds.
constexpr std::int64_t kFileTimeOriginSeconds = -11'644'473'600;
// How far a stored time may lie from the asked one and still count as landed: the coarsest
// granularity of a file system we may meet (FAT: 2 s for last write, the date alone for last
// access). A time outside a file system's range lands years away.
constexpr std::int64_t kLastWriteGranularitySeconds = 2;
constexpr std::int64_t kLastAccessGranularitySeconds = 86'400;
constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;

bool landed(const timespec& asked, const timespec& stored, std::int64_t granularitySeconds)
{
    const std::int64_t seconds = std::int64_t(stored.tv_sec) - std::int64_t(asked.tv_sec);
    if (std::llabs(seconds) > granularitySeconds + 1) return false;  // also keeps the sum below in range
    const std::int64_t nanoseconds = seconds * kNanosecondsPerSecond + (stored.tv_nsec - asked.tv_nsec);
    return std::llabs(nanoseconds) <= granularitySeconds * kNanosecondsPerSecond;
}

Failure cannotStore(const timespec& asked)
{
    const convert::DateTime local = convert::utcEpochMsToDateTime(epochMsOf(asked));
    return Failure(FailureKind::Conversion, "the file system cannot store " + convert::DateTimeToDisplayText(local));
}

// Whether a file shows the times and attribute word it had when `snapshot` was taken.
bool asRead(const FileSnapshot& now, const FileSnapshot& snapshot)
{
    return now.attributes == snapshot.attributes && now.creationTime == snapshot.creationTime &&
           sameInstant(now.exactLastAccess, snapshot.exactLastAccess) && sameInstant(now.exactLastWrite, snapshot.exactLastWrite);
}

}  // namespace

FileInstants instantsOf(const FileSnapshot& snapshot)
{
    return {timespecOf(snapshot.creationTime), snapshot.exactLastAccess, snapshot.exactLastWrite};
}

Failure setFileInstants(const std::string& path, const FileInstants& asked, const FileInstants& previous)
{
    bool lockRefused = false;
    auto file = PosixFile::open(path, OpenMode::ReadWriteExclusive, &lockRefused);
    if (!file) return lockRefused ? lockedByAnotherProgram() : Failure::fromErrno(errno);
    // Root may open any file for writing; the attribute word still says no.
    struct stat info {};
    if (::fstat(file->fd(), &info) != 0) return Failure::fromErrno(errno);
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return readOnlyFile();

    Failure failure;  // the first fault
    const auto keep = [&failure](Failure next) {
        if (!failure.failed()) failure = std::move(next);
    };
    timespec creation = asked.creation;
    if (std::int64_t(creation.tv_sec) < kFileTimeOriginSeconds) {
        keep(cannotStore(asked.creation));
        creation = previous.creation;
    }

    const timespec accessAndWrite[2] = {asked.lastAccess, asked.lastWrite};
    const bool timesSet = ::futimens(file->fd(), accessAndWrite) == 0;
    if (!timesSet) keep(Failure::fromErrno(errno));
    if (timesSet && ::fstat(file->fd(), &info) != 0) keep(Failure::fromErrno(errno));
    else if (timesSet) {
        timespec putBack[2] = {{0, UTIME_OMIT}, {0, UTIME_OMIT}};
        if (!landed(asked.lastAccess, info.st_atim, kLastAccessGranularitySeconds)) {
            keep(cannotStore(asked.lastAccess));
            putBack[0] = previous.lastAccess;
        }
        if (!landed(asked.lastWrite, info.st_mtim, kLastWriteGranularitySeconds)) {
            keep(cannotStore(asked.lastWrite));
            putBack[1] = previous.lastWrite;
        }
        const bool anyPutBack = putBack[0].tv_nsec != UTIME_OMIT || putBack[1].tv_nsec != UTIME_OMIT;
        if (anyPutBack && ::futimens(file->fd(), putBack) != 0) keep(Failure::fromErrno(errno));
    }
    // Compared after the write time is set: without a birth time or a stored one, the creation
    // time a file reports is its last-write time. A package rewrite gives the file a new birth
    // time, so there the creation time is stored even when it is the snapshot's.
    if (timesSet) {
        const convert::FileTime creationTime = fileTimeOf(creation);
        const auto reported = ReadFileAttributeData(path);
        if (!reported || reported->creationTime != creationTime) keep(setCreationTime(path, creationTime));
    }
    if (!file->close()) keep(Failure::fromErrno(errno));
    return failure;
}

bool SetFileTimes(const std::string& path, convert::DateTime creation, convert::DateTime lastWrite,
                  convert::DateTime lastAccess)
{
    const auto snapshot = ReadFileAttributeData(path);
    const auto creationMs = convert::localToUtcEpochMs(creation);
    const auto lastAccessMs = convert::localToUtcEpochMs(lastAccess);
    const auto lastWriteMs = convert::localToUtcEpochMs(lastWrite);
    if (!snapshot || !creationMs || !lastAccessMs || !lastWriteMs) return false;
    const FileInstants asked{timespecOfEpochMs(*creationMs), timespecOfEpochMs(*lastAccessMs),
                             timespecOfEpochMs(*lastWriteMs)};
    return !setFileInstants(path, asked, instantsOf(*snapshot)).failed();
}

Failure putLastAccessBack(const std::string& path, const FileSnapshot& snapshot)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && sameInstant(info.st_atim, snapshot.exactLastAccess)) return {};
    const timespec lastAccessOnly[2] = {snapshot.exactLastAccess, {0, UTIME_OMIT}};
    if (::utimensat(AT_FDCWD, path.c_str(), lastAccessOnly, 0) == 0) return {};
    return Failure::fromErrno(errno).within("its times cannot be put back");
}

Failure restoreAfterRead(const std::string& path, const FileSnapshot& snapshot)
{
    if (const auto now = readFileSnapshot(path); now.ok() && asRead(*now, snapshot)) return {};
    Failure failure;
    if (snapshot.attributes & kReadOnly)
        failure = setAttributeWord(path, snapshot.attributes & ~kReadOnly).within("read-only cannot be cleared");
    if (!failure.failed())
        failure = setFileInstants(path, instantsOf(snapshot), instantsOf(snapshot)).within("its times cannot be put back");
    // On every path: a file must not stay without its read-only bit.
    const Failure wordBack = setAttributeWord(path, snapshot.attributes).within("its attributes cannot be put back");
    return failure.failed() ? failure : wordBack;
}

bool RestoreFileTimesAfterRead(const std::string& path, const FileSnapshot& snapshot)
{
    return !restoreAfterRead(path, snapshot).failed();
}

}  // namespace quorvane::fileinfo
