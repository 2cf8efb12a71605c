// SPDX-License-Identifier: Apache-2.0
#include "base/quiet_open.h"

#include <fcntl.h>

#include <cerrno>

namespace quorvane {

UniqueFd openWithoutAccessTime(const std::string& path, int flags)
{
    int fd = ::open(path.c_str(), flags | O_NOATIME);
    if (fd < 0 && errno == EPERM) fd = ::open(path.c_str(), flags);
    return UniqueFd(fd);
}

}  // namespace quorvane
