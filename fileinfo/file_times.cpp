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

// Whether the file `path` shows the instants `asked` and the attribute word `word` already.
bool showsAlready(const std::string& path, const FileInstants& asked, AttributeWord word)
{
    const auto now = readFileSnapshot(path);
    return now.ok() && now->attributes == word && now->creationTime == fileTimeOf(asked.creation) &&
           sameInstant(now->exactLastAccess, asked.lastAccess) && sameInstant(now->exactLastWrite, asked.lastWrite);
}

// Sets last access and last write of `path` (the file's owner and root may, whatever its mode)
// and reads them back: a time that did not land is put back to its instant in
// `previous` and refused. Then the creation time the file is to store: nullopt when it reports
// `asked.creation` already, `previous.creation` (and refused) for one before 1601. The first
// fault goes to `failure` when it has none yet.
std::optional<convert::FileTime> setInstants(const std::string& path, const FileInstants& asked,
                                             const FileInstants& previous, Failure& failure)
{
    const auto keep = [&failure](Failure next) {
        if (!failure.failed()) failure = std::move(next);
    };
    timespec creation = asked.creation;
    if (std::int64_t(creation.tv_sec) < kFileTimeOriginSeconds) {
        keep(cannotStore(asked.creation));
        creation = previous.creation;
    }

    const timespec accessAndWrite[2] = {asked.lastAccess, asked.lastWrite};
    struct stat info {};
    if (::utimensat(AT_FDCWD, path.c_str(), accessAndWrite, 0) != 0 || ::stat(path.c_str(), &info) != 0) {
        keep(Failure::fromErrno(errno));
        return std::nullopt;
    }
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
    if (anyPutBack && ::utimensat(AT_FDCWD, path.c_str(), putBack, 0) != 0) keep(Failure::fromErrno(errno));
    // Compared after the write time is set: without a birth time or a stored one, the creation
    // time a file reports is its last-write time. A package rewrite gives the file a new birth
    // time, so there the creation time is stored even when it is the snapshot's.
    const convert::FileTime creationTime = fileTimeOf(creation);
    const auto reported = ReadFileAttributeData(path);
    if (reported && reported->creationTime == creationTime) return std::nullopt;
    return creationTime;
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
    if (const auto creation = setInstants(path, asked, previous, failure); creation) {
        if (Failure stored = setCreationTime(path, *creation); !failure.failed()) failure = stored;
    }
    if (!file->close() && !failure.failed()) failure = Failure::fromErrno(errno);
    return failure;
}

Failure settleFileMetadata(const std::string& path, const FileInstants& asked, const FileInstants& previous,
                           AttributeWord word)
{
    if (showsAlready(path, asked, word)) return {};
    Failure failure;  // the first fault
    const std::optional<convert::FileTime> creation = setInstants(path, asked, previous, failure);
    if (Failure stored = setAttributeWord(path, word, creation); !failure.failed()) failure = stored;
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
    if (::stat(path.c_str(), &info) != 0) return {};  // nothing left to put back
    // A file written since the snapshot holds another program's times now, not the read's.
    if (sameInstant(info.st_atim, snapshot.exactLastAccess) || !sameInstant(info.st_mtim, snapshot.exactLastWrite))
        return {};
    const timespec lastAccessOnly[2] = {snapshot.exactLastAccess, {0, UTIME_OMIT}};
    if (::utimensat(AT_FDCWD, path.c_str(), lastAccessOnly, 0) == 0) return {};
    return Failure::fromErrno(errno).within("its times cannot be put back");
}

bool RestoreFileTimesAfterRead(const std::string& path, const FileSnapshot& snapshot)
{
    return !putLastAccessBack(path, snapshot).failed();
}

}  // namespace quorvane::fileinfo
