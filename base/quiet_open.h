// SPDX-License-Identifier: Apache-2.0
// Opening a file without moving its last-access time, so that a reader has nothing to put back.
#pragma once

#include <string>

#include "base/unique_fd.h"

namespace quorvane {

// open(2) of `path` with `flags` and O_NOATIME: reads through the descriptor leave the file's
// last-access time as it was. The kernel grants O_NOATIME only to the file's owner and to root
// (EPERM otherwise); anyone else gets the plain open, whose reads may move the time. An empty
// descriptor on failure, errno telling why.
UniqueFd openWithoutAccessTime(const std::string& path, int flags);

}  // namespace quorvane
