#include "fileinfo/file_times.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "fileinfo/attribute_store.h"
#include "base/random_access_file.h"

namespace quorvane::fileinfo {

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
    (void)previous;
    const timespec creation = asked.creation;
    const timespec accessAndWrite[2] = {asked.lastAccess, asked.lastWrite};
    const bool timesSet = ::futimens(file->fd(), accessAndWrite) == 0;
    if (!timesSet) keep(Failure::fromErrno(errno));
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

bool setSnapshotTimes(const std::string& path, const FileSnapshot& snapshot)
{
    return !setFileInstants(path, instantsOf(snapshot), instantsOf(snapshot)).failed();
}

bool putLastAccessBack(const std::string& path, const FileSnapshot& snapshot)
{
    const timespec lastAccessOnly[2] = {snapshot.exactLastAccess, {0, UTIME_OMIT}};
    return ::utimensat(AT_FDCWD, path.c_str(), lastAccessOnly, 0) == 0;
}

Failure restoreAfterRead(const std::string& path, const FileSnapshot& snapshot)
{
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
