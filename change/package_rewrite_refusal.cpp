// SPDX-License-Identifier: Apache-2.0
#include "change/package_rewrite_refusal.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane::change {

Failure hardLinksRefusal(std::uint64_t linkCount)
{
    return Failure(FailureKind::Unsupported,
                   "has " + std::to_string(linkCount) + " hard links; changing it would split them");
}

Failure packageRewriteRefusal(const std::string& path, bool breakLinks, std::uint64_t& otherHardLinks)
{
    otherHardLinks = 0;
    const std::unique_ptr<char, decltype(&::free)> resolved(::realpath(path.c_str(), nullptr), &::free);
    if (!resolved) return {};  // the open that follows names the reason
    const std::string file = resolved.get();
    const std::string folder = file.substr(0, std::max<std::size_t>(file.find_last_of('/'), 1));
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0 && errno == EACCES)
        return Failure(FailureKind::Permission, "permission denied: a package change needs to write its folder");
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0 || info.st_nlink <= 1) return {};
    otherHardLinks = info.st_nlink - 1;
    return breakLinks ? Failure() : hardLinksRefusal(info.st_nlink);
}

}  // namespace quorvane::change
