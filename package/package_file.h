// Opening a package file under its lock (shared to read, exclusive to write), with the reason
// when it cannot be opened, made at the open itself.
#pragma once

#include <string>

#include "base/failure.h"
#include "base/random_access_file.h"

namespace quorvane::package {

// The open, locked file at `path`. Fails with "in use by another program" (Locked) when another
// open holds a conflicting lock, "not a regular file" for a folder or device, and otherwise with
// the system's reason for the open ("no such file", "permission denied", ...).
Result<PosixFile> openPackageFile(const std::string& path, OpenMode mode);

}  // namespace quorvane::package
