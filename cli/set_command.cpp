// SPDX-License-Identifier: Apache-2.0
#include "cli/set_command.h"

#include "cli/file_run.h"
#include "cli/output_text.h"
#include "cli/set_options.h"
#include "cli/usage.h"

namespace quorvane::cli {

int runSet(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    std::string problem;
    const auto set = parseSetArguments(arguments, &problem);
    if (!set) return usageError(err, escapedForLine(problem), "set");
    return changeFiles(set->files, "changed", set->request, out, err);
}

}  // namespace quorvane::cli
