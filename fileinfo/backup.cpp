#include "fileinfo/backup.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fileinfo/attribute_store.h"
#include "fileinfo/file_snapshot.h"
#include "fileinfo/file_times.h"
#include "base/random_access_file.h"
#include "base/temp_file.h"

namespace quorvane::fileinfo {
namespace {

// Whether the backup name is free or holds something the new copy may replace: an earlier
// backup file, or a symbolic link (replaced itself, never followed). A folder or any other
// non-file is no backup and is left alone.
bool backupNameIsReplaceable(const std::string& backupName)
{
    struct stat info {};
    if (::lstat(backupName.c_str(), &info) != 0) return errno == ENOENT;
    return S_ISREG(info.st_mode) || S_ISLNK(info.st_mode);
}

// Copies every byte of `source` into `target`, inside the kernel where both are real files.
bool copyAll(RandomAccessFile& source, RandomAccessFile& target)
{
    const auto length = source.size();
    return length && target.copyFrom(source, 0, *length, 0);
}

// Copies `path` to a temporary file beside `backupName` and renames it over that name, so that an
// earlier backup stays as it was until the new copy is complete.
bool copyInto(const std::string& path, const std::string& backupName, const TargetWrapper& wrapTarget)
{
    auto source = PosixFile::open(path, OpenMode::ReadShared);
    if (!source) return false;
    struct stat info {};
    if (::fstat(source->fd(), &info) != 0) return false;
    auto copy = TempFile::besideOf(backupName);
    if (!copy) return false;
    RandomAccessFile& target = wrapTarget ? wrapTarget(copy->file()) : copy->file();
    // Mode before sync: one sync makes both durable (see replaceWholeFile).
    return copyAll(*source, target) && copy->setPermissions(info.st_mode & 0777) && target.sync() &&
           copy->commitOver(backupName);
}

}  // namespace

std::string backupNameOf(const std::string& path) { return path + ".bak"; }

bool backupoldfile(const std::string& path, const TargetWrapper& wrapTarget)
{
    const std::string backupName = backupNameOf(path);
    if (!backupNameIsReplaceable(backupName)) return false;
    const auto snapshot = ReadFileAttributeData(path);
    if (!snapshot || !copyInto(path, backupName, wrapTarget)) return false;
    // Reading the file for the copy may have moved its last-access time; the change that follows
    // takes its own snapshot now, and must find the time the file had. Not looked at either.
    putLastAccessBack(path, *snapshot);

    // The copy took the file's mode, read-only included, and times can only be set on a
    // writable file; none of these three results is looked at.
    writeAttributeWord(backupName, 0);
    setSnapshotTimes(backupName, *snapshot);
    writeAttributeWord(backupName, snapshot->attributes);
    return true;
}

}  // namespace quorvane::fileinfo
