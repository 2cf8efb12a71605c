// SPDX-License-Identifier: Apache-2.0
// Backup copies: before a change, a file is copied beside itself under its name with ".bak"
// appended, carrying the file's owner, extended attributes, mode, three times and attribute
// word, so that it stands for the file as it was. One backup per file: a later backup replaces
// it, even a read-only one, and takes nothing from it.
#pragma once

#include <string>

#include "base/failure.h"
#include "base/temp_file.h"

namespace quorvane::fileinfo {

// The backup name of `path`: the whole name with ".bak" appended, in the same folder.
std::string backupNameOf(const std::string& path);

// Makes a fresh backup of `path`. The copy is a new file, built unnamed beside the backup name
// and renamed over that name once complete and synced, replacing an earlier backup (read-only or
// not, whoever made it) or a symbolic link of that name (never followed); nothing is ever written
// into the file that had the name, and a failed copy leaves no partial backup and the earlier
// backup as it was. Before the rename the copy gets, from `path` only:
// - its bytes, with its holes left as holes (a sparse file gives a sparse backup);
// - its owner and group. A user who may not give them (anyone but root, for another user's
//   file) keeps their own owner, and their own group unless they belong to the file's; the copy
//   then gives its group no access that others lack, so it opens the bytes to nobody new;
// - every extended attribute it lists that this user may set (user.* ones, its ACL, ...);
// - its permission bits (set-id and sticky bits dropped), its last access and last write exactly,
//   its creation time (stored with its attributes) and its attribute word. These last three are
//   not looked at, as the copy itself is the backup.
// The file's own last-access time, which reading it for the copy may move, is put back.
// Failure{} when the fresh copy is in place. Otherwise no fresh copy was made, and the reason:
// "not a regular file" (NotRegularFile) when a folder or anything but a file or a symbolic link
// bears the backup name, which is left alone; the failure of the file's snapshot or open ("no
// such file", "in use by another program", ...); else the system's for the first step of the
// copy that failed. `wrapTarget` is for fault tests.
// Its flushes are rounds of `flushGroup` when given (base/flush_group.h; its member's thread only).
Failure backUpFile(const std::string& path, const TargetWrapper& wrapTarget = {}, FlushGroup* flushGroup = nullptr);

// backUpFile as a yes or no: true when the fresh copy is in place.
bool backupoldfile(const std::string& path, const TargetWrapper& wrapTarget = {});

}  // namespace quorvane::fileinfo
