#include "fileinfo/file_times.h"

#include <sys/stat.h>

#include "fileinfo/attribute_store.h"
#include "base/random_access_file.h"

namespace quorvane::fileinfo {
namespace {

bool setTimes(const std::string& path, convert::FileTime creation, const timespec& lastAccess,
              const timespec& lastWrite)
{
    auto file = PosixFile::open(path, OpenMode::ReadWriteExclusive);
    if (!file) return false;
    // Root may open any file for writing; the attribute word still says no.
    struct stat info {};
    if (::fstat(file->fd(), &info) != 0 || (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;

    const timespec accessAndWrite[2] = {lastAccess, lastWrite};
    bool done = ::futimens(file->fd(), accessAndWrite) == 0;
    // Compared after the write time is set: without a birth time or a stored one, the creation
    // time a file reports is its last-write time.
    const auto reported = ReadFileAttributeData(path);
    if (done && (!reported || reported->creationTime != creation)) done = storeCreationTime(path, creation);
    return file->close() && done;
}

}  // namespace

bool SetFileTimes(const std::string& path, convert::DateTime creation, convert::DateTime lastWrite,
                  convert::DateTime lastAccess)
{
    return setTimes(path, convert::DateTimeToUtcFileTime(creation), timespecOf(convert::DateTimeToUtcFileTime(lastAccess)),
                    timespecOf(convert::DateTimeToUtcFileTime(lastWrite)));
}

bool setSnapshotTimes(const std::string& path, const FileSnapshot& snapshot)
{
    return setTimes(path, snapshot.creationTime, snapshot.exactLastAccess, snapshot.exactLastWrite);
}

bool RestoreFileTimesAfterRead(const std::string& path, const FileSnapshot& snapshot)
{
    const bool writable =
        !(snapshot.attributes & kReadOnly) || writeAttributeWord(path, snapshot.attributes & ~kReadOnly);
    const bool timesSet = writable && setSnapshotTimes(path, snapshot);
    // On every path: a file must not stay without its read-only bit.
    const bool wordBack = writeAttributeWord(path, snapshot.attributes);
    return timesSet && wordBack;
}

}  // namespace quorvane::fileinfo
