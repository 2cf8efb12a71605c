// The thumbnail of a package: the part named by the package relationship of the thumbnail type
// (ECMA-376 Part 2, 11.3: http://schemas.openxmlformats.org/package/2006/relationships/metadata/thumbnail).
#pragma once

#include <string>

#include "base/failure.h"

namespace quorvane::package {

// Removes the thumbnail part of the package at `path`, its relationship and its content-type
// override (a Default entry by extension stays) in one rewrite of the archive, every other entry
// byte-identical. Failure{} when removed or when the package has no thumbnail; else why not, the
// file then as it was.
Failure removePackageThumbnail(const std::string& path);

}  // namespace quorvane::package
