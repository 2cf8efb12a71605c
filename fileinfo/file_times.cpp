#include "fileinfo/file_times.h"

#include <sys/stat.h>

#include <cerrno>

#include "fileinfo/attribute_store.h"
#include "base/random_access_file.h"

namespace quorvane::fileinfo {
namespace {

Failure setTimes(const std::string& path, convert::FileTime creation, const timespec& lastAccess,
                 const timespec& lastWrite)
{
    bool lockRefused = false;
    auto file = PosixFile::open(path, OpenMode::ReadWriteExclusive, &lockRefused);
    if (!file) return lockRefused ? lockedByAnotherProgram() : Failure::fromErrno(errno);
    // Root may open any file for writing; the attribute word still says no.
    struct stat info {};
    if (::fstat(file->fd(), &info) != 0) return Failure::fromErrno(errno);
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return readOnlyFile();

    const timespec accessAndWrite[2] = {lastAccess, lastWrite};
    Failure failure;
    if (::futimens(file->fd(), accessAndWrite) != 0) failure = Failure::fromErrno(errno);
    // Compared after the write time is set: without a birth time or a stored one, the creation
    // time a file reports is its last-write time.
    const auto reported = ReadFileAttributeData(path);
    if (!failure.failed() && (!reported || reported->creationTime != creation))
        failure = setCreationTime(path, creation);
    if (!file->close() && !failure.failed()) failure = Failure::fromErrno(errno);
    return failure;
}

}  // namespace

bool SetFileTimes(const std::string& path, convert::DateTime creation, convert::DateTime lastWrite,
                  convert::DateTime lastAccess)
{
    return !setTimes(path, convert::DateTimeToUtcFileTime(creation),
                     timespecOf(convert::DateTimeToUtcFileTime(lastAccess)),
                     timespecOf(convert::DateTimeToUtcFileTime(lastWrite)))
                .failed();
}

bool setSnapshotTimes(const std::string& path, const FileSnapshot& snapshot)
{
    return !setTimes(path, snapshot.creationTime, snapshot.exactLastAccess, snapshot.exactLastWrite).failed();
}

Failure restoreAfterRead(const std::string& path, const FileSnapshot& snapshot)
{
    Failure failure;
    if (snapshot.attributes & kReadOnly)
        failure = setAttributeWord(path, snapshot.attributes & ~kReadOnly).within("read-only cannot be cleared");
    if (!failure.failed())
        failure = setTimes(path, snapshot.creationTime, snapshot.exactLastAccess, snapshot.exactLastWrite)
                      .within("its times cannot be put back");
    // On every path: a file must not stay without its read-only bit.
    const Failure wordBack = setAttributeWord(path, snapshot.attributes).within("its attributes cannot be put back");
    return failure.failed() ? failure : wordBack;
}

bool RestoreFileTimesAfterRead(const std::string& path, const FileSnapshot& snapshot)
{
    return !restoreAfterRead(path, snapshot).failed();
}

}  // namespace quorvane::fileinfo
