// SPDX-License-Identifier: Apache-2.0
#include "fileinfo/folder_scan.h"

#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "fileinfo/file_snapshot.h"

namespace quorvane::fileinfo {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

bool equalsUpperCased(std::string_view text, std::string_view upper)
{
    return std::equal(text.begin(), text.end(), upper.begin(), upper.end(), [](char c, char u) {
        return std::toupper(static_cast<unsigned char>(c)) == static_cast<unsigned char>(u);
    });
}

}  // namespace

bool hasPresentationExtension(std::string_view path)
{
    const auto dot = path.find_last_of("./");
    if (dot == std::string_view::npos || path[dot] != '.') return false;
    const std::string_view extension = path.substr(dot);
    return std::any_of(std::begin(kPresentationExtensions), std::end(kPresentationExtensions),
                       [extension](std::string_view known) { return equalsUpperCased(extension, known); });
}

bool hasOwnerFileMark(std::string_view path) { return path.find("~$") != std::string_view::npos; }

bool isTakenPresentationFile(const std::string& path)
{
    return !hasOwnerFileMark(path) && hasPresentationExtension(path) && FileEntryExists(path);
}

std::vector<std::string> listPresentationFiles(const std::string& folder)
{
    std::string prefix = folder;
    if (!prefix.empty() && prefix.back() == '/') prefix.pop_back();
    prefix += '/';

    std::vector<std::string> paths;
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) return paths;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        std::string path = prefix + std::string(name);
        if (isTakenPresentationFile(path)) paths.push_back(std::move(path));
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

}  // namespace quorvane::fileinfo
