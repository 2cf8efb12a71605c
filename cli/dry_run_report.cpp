// SPDX-License-Identifier: Apache-2.0
#include "cli/dry_run_report.h"

#include "cli/output_text.h"

namespace quorvane::cli {

void printPlan(const std::string& path, const change::FilePlan& plan, std::ostream& out)
{
    out << escapedForLine(path) << (plan.changes.empty() ? ": nothing would change\n" : ": would change\n");
    for (const document::ValueChange& change : plan.changes)
        out << "  " << escapedForLine(change.label) << ": '" << escapedForLine(change.from) << "' -> '"
            << escapedForLine(change.to) << "'\n";
}

}  // namespace quorvane::cli
