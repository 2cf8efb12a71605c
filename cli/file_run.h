// SPDX-License-Identifier: Apache-2.0
// The run of a command that changes files (set, scrub): the files named, folders expanded
// (cli/file_arguments.h), each planned or changed through the one change path
// (change/file_plan.h) -j at a time (cli/parallel_files.h), and one outcome per file printed in
// the files' order.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "change/file_request.h"
#include "cli/file_options.h"

namespace quorvane::cli {

// Applies `request` to every file that `options` name (backup and signed files as the options
// say), on its own thread when options.jobs > 1, and prints per file, in order, "PATH: <doneWord>"
// to `out` (with cli/dry_run_report.h's splitLinksNote for a package split off from its other
// hard links, each of which given too is then changed in its own turn), "PATH: unchanged" when nothing needed to change (nothing written, no backup), or
// "quorvane-cli: PATH: failed: REASON" to `err`. With options.dryRun each file is only planned:
// "PATH: would change" and its lines, or "PATH: nothing would change" (cli/dry_run_report.h), a
// refused plan printed as a failure. A folder that cannot be listed is printed to `err` first.
// Returns 0 when every file was done (or planned), else 1.
int changeFiles(const FileOptions& options, std::string_view doneWord, const change::FileRequest& request,
                std::ostream& out, std::ostream& err);

// The request for the file `path`, the `number`th of the run (from 1), or why none can be made
// for it (the file then fails with that reason and is not touched).
using RequestForFile = std::function<Result<change::FileRequest>(const std::string& path, std::size_t number)>;

// changeFiles over `paths` as they are (no folder expanded, options.paths unused), each file
// with its own request.
int changeFileList(const std::vector<std::string>& paths, const FileOptions& options, std::string_view doneWord,
                   const RequestForFile& requestFor, std::ostream& out, std::ostream& err);

}  // namespace quorvane::cli
