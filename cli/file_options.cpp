// SPDX-License-Identifier: Apache-2.0
#include "cli/file_options.h"

#include "cli/jobs_option.h"

namespace quorvane::cli {

FileOption readFileOption(const std::vector<std::string>& arguments, std::size_t& index, FileOptions& options,
                          std::string& problem)
{
    const std::string& argument = arguments[index];
    bool* const flag = argument == "-r" || argument == "--recursive" ? &options.recursive
                       : argument == "--dry-run"                     ? &options.dryRun
                       : argument == "--backup"                      ? &options.backup
                       : argument == "--force-signed"                ? &options.forceSigned
                       : argument == "--allow-new-times"             ? &options.allowNewTimes
                       : argument == "--break-links"                 ? &options.breakLinks
                       : argument == "--"                            ? &options.optionsEnded
                                                                     : nullptr;
    if (options.optionsEnded || argument == "-" || !argument.starts_with("-")) {
        options.paths.push_back(argument);
        return FileOption::Taken;
    }
    if (flag) {
        *flag = true;
        return FileOption::Taken;
    }
    switch (readJobsOption(arguments, index, options.jobs, problem)) {
    case JobsOption::Taken: return FileOption::Taken;
    case JobsOption::Invalid: return FileOption::Invalid;
    case JobsOption::NotThis: break;
    }
    return FileOption::NotThis;
}

}  // namespace quorvane::cli
