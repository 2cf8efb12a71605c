// SPDX-License-Identifier: Apache-2.0
// The options of `quorvane-cli export` and the checks that keep an export from replacing a
// presentation: the output named by -o/--output (standard output when absent or "-"), or by a
// first argument ending in ".csv" (the older form).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/jobs_option.h"

namespace quorvane::cli {

struct ExportRequest {
    std::string output;  // "" for standard output
    bool force = false;
    bool progress = false;
    bool safeFormulas = false;
    bool custom = false;  // a column per custom property name after the standard ones
    bool localeDates = false;  // dates in the window's display form, not YYYY-MM-DD HH:MM:SS
    bool recursive = false;
    int jobs = defaultJobs();  // files read at a time (-j/--jobs)
    std::vector<std::string> names;  // files and folders, as given
};

// The request `arguments` (everything after "export") ask for; nullopt with the reason in
// `problem` for an unknown option, a missing value, or no file. "--" ends the options.
std::optional<ExportRequest> parseExportArguments(const std::vector<std::string>& arguments, std::string* problem);

// Why `output` may not be written for `inputs` (the files to be exported): it ends in ".ppt" or
// ".pptx" in any letter case, it is one of the inputs (same name, or the same file under another
// name), or it exists and `force` is false. "" when it may be written.
std::string refusalOfOutput(const std::string& output, const std::vector<std::string>& inputs, bool force);

}  // namespace quorvane::cli
