// SPDX-License-Identifier: Apache-2.0
// The options shared by the commands that change files (set, scrub): the files and folders,
// -r/--recursive, -j/--jobs, --dry-run, --backup, --force-signed, --allow-new-times,
// --break-links, and "--", which ends the options.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cli/jobs_option.h"

namespace quorvane::cli {

struct FileOptions {
    std::vector<std::string> paths;  // files and folders, as given
    bool recursive = false;
    int jobs = defaultJobs();  // files worked on at a time
    bool dryRun = false;       // only report
    bool backup = false;       // copy each file aside first
    bool forceSigned = false;  // change digitally signed files too, breaking their signatures
    bool allowNewTimes = false;  // change files in place whose times cannot be kept
    bool breakLinks = false;     // rewrite packages that have several hard links, splitting them
    bool optionsEnded = false;  // "--" was read: every later argument is a file
};

enum class FileOption {
    NotThis,  // arguments[index] is an option of the command itself
    Taken,    // read into the options; `index` is at its last argument
    Invalid   // the option with a value it cannot take; `problem` says why
};

// Reads arguments[index]: a file or folder (anything after "--", "-", or an argument that does
// not start with '-'), "--", or one of the shared options ("-j N" and its other forms as
// cli/jobs_option.h reads them).
FileOption readFileOption(const std::vector<std::string>& arguments, std::size_t& index, FileOptions& options,
                          std::string& problem);

}  // namespace quorvane::cli
