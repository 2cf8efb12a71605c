// SPDX-License-Identifier: Apache-2.0
#include "base/folder_of.h"

namespace quorvane {

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace quorvane
