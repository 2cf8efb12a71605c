// SPDX-License-Identifier: Apache-2.0
#include "fileinfo/unchangeable_file.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace quorvane::fileinfo {

Failure unchangeableFileRefusal(const std::string& path)
{
    struct statvfs volume {};
    if (::statvfs(path.c_str(), &volume) == 0 && (volume.f_flag & ST_RDONLY)) return Failure::fromErrno(EROFS);
    // statx reports the inode flags without opening the file (statx(2), stx_attributes).
    struct statx info {};
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS, &info) != 0) return {};
    const auto has = [&info](std::uint64_t attribute) {
        return (info.stx_attributes_mask & attribute) && (info.stx_attributes & attribute);
    };
    if (has(STATX_ATTR_IMMUTABLE)) return Failure(FailureKind::ReadOnly, "the file is immutable: operation not permitted");
    if (has(STATX_ATTR_APPEND)) return Failure(FailureKind::ReadOnly, "the file is append-only: operation not permitted");
    return {};
}

}  // namespace quorvane::fileinfo
