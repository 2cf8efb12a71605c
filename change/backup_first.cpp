#include "change/backup_first.h"

#include "fileinfo/backup.h"

namespace quorvane::change {

Failure backUpBeforeChange(const std::string& path)
{
    if (fileinfo::backupoldfile(path)) return {};
    return Failure(FailureKind::Io,
                   "no backup could be made as " + fileinfo::backupNameOf(path) + "; the file was not changed");
}

}  // namespace quorvane::change
