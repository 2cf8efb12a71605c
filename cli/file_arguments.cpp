// SPDX-License-Identifier: Apache-2.0
#include "cli/file_arguments.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "cli/output_text.h"
#include "fileinfo/folder_scan.h"

namespace quorvane::cli {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

bool isFolder(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The real subfolders of `folder` (no symbolic links), sorted in byte order; the Failure when
// the folder cannot be listed. An entry that cannot be looked at goes to `unlooked` with why.
// Entries are looked at relative to the open folder, so that no path length limits the look.
Result<std::vector<std::string>> subfoldersOf(const std::string& folder,
                                              std::vector<std::pair<std::string, Failure>>& unlooked)
{
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) return Failure::fromErrno(errno).within("the folder cannot be listed");
    const std::string prefix = folder.ends_with('/') ? folder : folder + "/";
    std::vector<std::string> subfolders;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat status {};
        if (::fstatat(::dirfd(dir.get()), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) unlooked.emplace_back(prefix + name, Failure::fromErrno(errno).within("cannot be looked at"));
        } else if (S_ISDIR(status.st_mode)) {
            subfolders.push_back(prefix + name);
        }
    }
    std::sort(subfolders.begin(), subfolders.end());
    return subfolders;
}

void addFolder(const std::string& folder, bool recursive, FileArguments& into)
{
    // listPresentationFiles gives nothing for a folder it cannot read, so the listing is tried
    // here first to tell an empty folder from an unreadable one.
    const Result<std::vector<std::string>> subfolders = subfoldersOf(folder, into.unreadableFolders);
    if (!subfolders.ok()) {
        into.unreadableFolders.emplace_back(folder, subfolders.failure());
        return;
    }
    const std::vector<std::string> files = fileinfo::listPresentationFiles(folder);
    into.paths.insert(into.paths.end(), files.begin(), files.end());
    if (recursive)
        for (const std::string& subfolder : *subfolders) addFolder(subfolder, true, into);
}

}  // namespace

FileArguments expandFileArguments(const std::vector<std::string>& names, bool recursive)
{
    FileArguments arguments;
    for (const std::string& name : names) {
        // A name that ends in .ppt or .pptx names a presentation even when it is a folder, so
        // that the command reports it ("not a regular file") instead of looking inside.
        if (!fileinfo::hasPresentationExtension(name) && isFolder(name)) addFolder(name, recursive, arguments);
        else arguments.paths.push_back(name);
    }
    return arguments;
}

int reportUnreadableFolders(const FileArguments& arguments, std::ostream& err)
{
    for (const auto& [folder, failure] : arguments.unreadableFolders)
        err << "quorvane-cli: " << escapedForLine(folder) << ": " << escapedForLine(failure.text()) << '\n';
    return arguments.unreadableFolders.empty() ? 0 : 1;
}

}  // namespace quorvane::cli
