// SPDX-License-Identifier: Apache-2.0
// The files a command works on, from the names on its command line: a file name is taken as it
// is; a folder gives the presentation files directly inside it, as "Add files from folder" takes
// them (fileinfo/folder_scan.h), and with `recursive` those of its subfolders too.
#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "base/failure.h"

namespace quorvane::cli {

struct FileArguments {
    // The files in processing order: the names in command-line order, each folder replaced by
    // its files sorted by name in byte order, followed (recursive) by each subfolder's files in
    // the same way, subfolders in byte order of their names, depth first.
    std::vector<std::string> paths;
    // The folders that could not be listed, and the entries of listed folders that could not be
    // looked at (a path too long for the system), with why; their files are missing from `paths`.
    std::vector<std::pair<std::string, Failure>> unreadableFolders;
};

// Expands `names`. A name that is a folder (a symbolic link named on the command line is
// followed) and does not end in .ppt or .pptx (any letter case) is listed; while walking subfolders, symbolic links to folders are not entered.
// Anything else, a missing name included, stays in `paths` so that its command reports it.
FileArguments expandFileArguments(const std::vector<std::string>& names, bool recursive);

// Prints "quorvane-cli: PATH: REASON" to `err` for each unreadable folder or entry; 1 when there
// was one (the exit status of a run that missed files), else 0.
int reportUnreadableFolders(const FileArguments& arguments, std::ostream& err);

}  // namespace quorvane::cli
