// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>

namespace quorvane {

// The folder that holds `path`: the part before its last slash, "/" for a name in the root, and
// "." for a name without a slash.
std::string folderOf(const std::string& path);

}  // namespace quorvane
