// Backup copies: before a change, a file is copied beside itself under its name with ".bak"
// appended, carrying the file's three times and attribute word, so that it stands for the file
// as it was. One backup per file: a later backup replaces it, even a read-only one.
#pragma once

#include <string>

#include "base/temp_file.h"

namespace quorvane::fileinfo {

// The backup name of `path`: the whole name with ".bak" appended, in the same folder.
std::string backupNameOf(const std::string& path);

// Makes a fresh backup of `path`. The copy is built in a temporary file beside it and renamed
// into place once complete and synced, replacing an earlier backup (read-only or not) or a
// symbolic link of that name (never followed); a failed copy leaves no partial backup and the
// earlier backup as it was. The copy then gets the file's times (last access and last write
// exactly, the creation time stored with its attributes) and its attribute word; those last
// steps are not looked at, as the copy itself is the backup. The file's own last-access time,
// which reading it for the copy may move, is put back.
// True when the fresh copy is in place. False when no fresh copy was made: the file is missing or
// unreadable or locked by another process, the copy fails, or a folder (or anything but a file)
// bears the backup name, which is left alone. `wrapTarget` is for fault tests.
bool backupoldfile(const std::string& path, const TargetWrapper& wrapTarget = {});

}  // namespace quorvane::fileinfo
