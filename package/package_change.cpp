#include "package/package_change.h"

#include <cerrno>
#include <stdlib.h>
#include <sys/stat.h>

#include <memory>

#include "base/change_scope.h"
#include "package/package_parts.h"
#include "zip/zip_entry_extract.h"

namespace quorvane::package {

Result<PackageChange> openPackageForChange(const std::string& givenPath)
{
    // The new archive replaces the file that a symbolic link names, not the link.
    const std::unique_ptr<char, decltype(&::free)> resolved(::realpath(givenPath.c_str(), nullptr), &::free);
    if (!resolved) return Failure::fromErrno(errno);
    const std::string path = resolved.get();
    auto file = openForChange(path);
    if (!file.ok()) return file.failure();
    struct stat info {};
    if (::fstat(file->fd(), &info) != 0) return Failure::fromErrno(errno);
    if (refusedAsReadOnly(info)) return readOnlyFile();
    // Another writer may have renamed its new archive over the name between our open and our
    // lock; the file we hold is then no longer the package, and a write based on it would undo
    // that writer's change. Such a write is refused, as a locked file is.
    struct stat named {};
    if (::stat(path.c_str(), &named) != 0) return Failure::fromErrno(errno);
    if (named.st_ino != info.st_ino || named.st_dev != info.st_dev) return lockedByAnotherProgram();
    auto directory = zip::readArchiveDirectory(file.value());
    if (!directory.ok()) return directory.failure();
    return PackageChange{path, std::move(file).value(), unsigned(info.st_mode & 07777), std::move(directory).value()};
}

Result<EditablePart> readEditablePart(PackageChange& change, const std::string& name)
{
    auto part = readBoundedPart(change.file, change.directory, name);
    if (!part.ok()) return part.failure();
    if (Failure refused = checkRewritable(*part); refused.failed()) return refused;
    // readBoundedPart found exactly one entry of that name.
    return EditablePart{*zip::findEntry(change.directory, name), std::move(part).value()};
}

Result<std::vector<std::byte>> bytesToStore(const ParsedPart& part)
{
    std::vector<std::byte> bytes = savePart(part);
    if (Failure refused = checkPartBounds(part.name, bytes); refused.failed()) return refused;
    return bytes;
}

Failure commitPackageChange(PackageChange& change, const zip::ArchiveEdits& edits, const TargetWrapper& wrapTarget)
{
    return zip::editArchive(change.path, change.file, change.directory, edits, change.permissionBits, wrapTarget);
}

}  // namespace quorvane::package
