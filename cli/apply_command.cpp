// SPDX-License-Identifier: Apache-2.0
#include "cli/apply_command.h"

#include "cli/file_options.h"
#include "cli/file_run.h"
#include "cli/output_text.h"
#include "cli/usage.h"
#include "table/table_plan.h"

namespace quorvane::cli {

int runApply(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    FileOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string problem;
        const FileOption option = readFileOption(arguments, i, options, problem);
        if (option == FileOption::Invalid) return usageError(err, "apply: " + escapedForLine(problem), "apply");
        if (option == FileOption::NotThis) return usageError(err, "apply: unknown option " + escapedForLine(arguments[i]), "apply");
    }
    if (options.recursive) return usageError(err, "apply: -r takes no tables", "apply");
    if (options.paths.empty()) return usageError(err, "apply: no table given", "apply");

    const change::ChangeOptions changeOptions{options.forceSigned, options.backup, options.allowNewTimes};
    const table::TablePlan applied = table::planTables(options.paths, changeOptions, options.jobs);
    if (applied.refused()) {
        for (const std::string& refusal : applied.refusals) err << "quorvane-cli: " << escapedForLine(refusal) << '\n';
        err << "quorvane-cli: apply: the table is refused; no file was changed\n";
        return kUsageStatus;
    }
    const auto requestOf = [&applied](const std::string&, std::size_t number) -> Result<change::FileRequest> {
        return applied.requests[number - 1];
    };
    return changeFileList(applied.paths, options, "changed", requestOf, out, err);
}

}  // namespace quorvane::cli
