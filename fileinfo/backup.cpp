#include "fileinfo/backup.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "fileinfo/attribute_store.h"
#include "fileinfo/file_snapshot.h"
#include "fileinfo/file_times.h"
#include "props/random_access_file.h"
#include "props/temp_file.h"

namespace quorvane::fileinfo {
namespace {

constexpr std::uint64_t kCopyChunkBytes = 1 << 20;

// Removes an earlier backup so that the new copy can take its name. A folder or other
// non-file is no backup: it stays, and the rename of the copy onto it fails later.
bool removeEarlierBackup(const std::string& backupName)
{
    struct stat info {};
    if (::lstat(backupName.c_str(), &info) != 0) return errno == ENOENT;
    if (S_ISLNK(info.st_mode)) return ::unlink(backupName.c_str()) == 0;
    if (!S_ISREG(info.st_mode)) return true;
    return writeAttributeWord(backupName, 0) && ::unlink(backupName.c_str()) == 0;
}

bool copyAll(RandomAccessFile& source, RandomAccessFile& target)
{
    const auto length = source.size();
    if (!length) return false;
    std::vector<std::byte> chunk(std::size_t(std::min(*length, kCopyChunkBytes)));
    for (std::uint64_t offset = 0; offset < *length; offset += chunk.size()) {
        const auto piece = std::span(chunk).first(std::size_t(std::min<std::uint64_t>(chunk.size(), *length - offset)));
        if (!source.readAt(offset, piece) || !target.writeAt(offset, piece)) return false;
    }
    return true;
}

// Copies `path` to a temporary file beside `backupName` and renames it over that name.
bool copyInto(const std::string& path, const std::string& backupName)
{
    auto source = PosixFile::open(path, OpenMode::ReadShared);
    if (!source) return false;
    struct stat info {};
    if (::fstat(source->fd(), &info) != 0) return false;
    auto copy = TempFile::besideOf(backupName);
    return copy && copyAll(*source, copy->file()) && copy->setPermissions(info.st_mode & 0777) &&
           copy->commitOver(backupName);
}

}  // namespace

std::string backupNameOf(const std::string& path) { return path + ".bak"; }

bool backupoldfile(const std::string& path)
{
    const std::string backupName = backupNameOf(path);
    if (!removeEarlierBackup(backupName)) return false;
    const auto snapshot = ReadFileAttributeData(path);
    if (!snapshot || !copyInto(path, backupName)) return false;
    // Reading the file for the copy may have moved its last-access time; the change that follows
    // takes its own snapshot now, and must find the time the file had. Not looked at either.
    const timespec keepLastAccess[2] = {snapshot->exactLastAccess, {0, UTIME_OMIT}};
    ::utimensat(AT_FDCWD, path.c_str(), keepLastAccess, 0);

    // The copy took the file's mode, read-only included, and times can only be set on a
    // writable file; none of these three results is looked at.
    writeAttributeWord(backupName, 0);
    setSnapshotTimes(backupName, *snapshot);
    writeAttributeWord(backupName, snapshot->attributes);
    return true;
}

}  // namespace quorvane::fileinfo
