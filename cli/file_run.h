// The run of a command that changes files (set, scrub): the files named, folders expanded
// (cli/file_arguments.h), worked on -j at a time (cli/parallel_files.h), and one outcome per file
// printed in the files' order.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/file_options.h"

namespace quorvane::cli {

// Gives "" when the file at `path` was done, else why not; what it writes to `report` (a dry
// run's lines) is printed before the file's outcome.
using FileWork = std::function<std::string(const std::string& path, std::ostream& report)>;

// Runs `work` once for every file that `options` name, on its own thread when options.jobs > 1,
// with signed files allowed when options.forceSigned (document/signature_check.h). Prints per
// file, in order, its report and then "PATH: <doneWord>" to `out` (nothing more on a dry run),
// or "quorvane-cli: PATH: failed: REASON" to `err`; a folder that cannot be listed is printed to
// `err` first. Returns 0 when every file was done, else 1.
int runOnFiles(const FileOptions& options, std::string_view doneWord, const FileWork& work, std::ostream& out,
               std::ostream& err);

}  // namespace quorvane::cli
