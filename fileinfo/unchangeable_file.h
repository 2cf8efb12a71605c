// SPDX-License-Identifier: Apache-2.0
// Files that nobody may change, whoever asks: one on a file system mounted read-only, and one
// whose inode flags (chattr(1), ioctl_iflags(2)) make it immutable or append-only. A change is
// planned against these before anything is written, so that such a file is refused with the
// system's reason instead of failing halfway through (its times set, its attributes refused).
#pragma once

#include <string>

#include "base/failure.h"

namespace quorvane::fileinfo {

// Why `path` cannot be changed at all: "read-only file system" (ReadOnly) when its file system is
// mounted read-only; "the file is immutable: operation not permitted" or "the file is
// append-only: operation not permitted" (ReadOnly) when its inode flags say so. Failure{}
// otherwise, also when the file cannot be looked up or its file system reports no such flags:
// the write then meets whatever refuses it. The file is not opened.
Failure unchangeableFileRefusal(const std::string& path);

}  // namespace quorvane::fileinfo
