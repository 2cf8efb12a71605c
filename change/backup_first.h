// The backup that a change makes before it touches a file (fileinfo/backup.h), with the reason
// that a change which asked for one reports when none could be made.
#pragma once

#include <string>

#include "base/failure.h"

namespace quorvane::change {

// Makes a fresh backup of `path` (fileinfo::backupoldfile). Failure{} when it is in place; else
// "no backup could be made as NAME.bak; the file was not changed" (Io), and the caller leaves
// the file alone.
Failure backUpBeforeChange(const std::string& path);

}  // namespace quorvane::change
