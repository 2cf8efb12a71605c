// SPDX-License-Identifier: Apache-2.0
// What a package's rewrite needs of the file system beyond the file itself: the new archive is
// built beside the package and renamed over its name, so the folder must take a new file, and
// the name then holds a new file: any other hard link of the package keeps the old one.
#pragma once

#include <cstdint>
#include <string>

#include "base/failure.h"

namespace quorvane::change {

// The refusal of a package with `linkCount` (more than one) hard links: "has N hard links;
// changing it would split them" (kind Unsupported).
Failure hardLinksRefusal(std::uint64_t linkCount);

// Why the package `path` (a symbolic link: the file it names) cannot be rewritten: "permission
// denied: a package change needs to write its folder" (Permission) when the user may not add a
// file to its folder, else hardLinksRefusal when it has several hard links and `breakLinks` is
// not given; Failure{} otherwise. `otherHardLinks` gets the number of the package's other names,
// which a rewrite splits off (0 when there are none, the folder refuses, or the file cannot be
// looked up).
Failure packageRewriteRefusal(const std::string& path, bool breakLinks, std::uint64_t& otherHardLinks);

}  // namespace quorvane::change
