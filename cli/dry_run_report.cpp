// SPDX-License-Identifier: Apache-2.0
#include "cli/dry_run_report.h"

#include "cli/output_text.h"

namespace quorvane::cli {

void printPlan(const std::string& path, const change::FilePlan& plan, std::ostream& out)
{
    if (plan.changes.empty()) out << escapedForLine(path) << ": nothing would change\n";
    else out << escapedForLine(path) << ": would change" << splitLinksNote(plan.otherHardLinks, false) << '\n';
    for (const document::ValueChange& change : plan.changes)
        out << "  " << escapedForLine(change.label) << ": '" << escapedForLine(change.from) << "' -> '"
            << escapedForLine(change.to) << "'\n";
}

std::string splitLinksNote(std::uint64_t otherHardLinks, bool done)
{
    if (otherHardLinks == 0) return "";
    const std::string keep = done ? (otherHardLinks == 1 ? " keeps" : " keep") : " would keep";
    if (otherHardLinks == 1) return "; its other hard link" + keep + " the old content";
    return "; its " + std::to_string(otherHardLinks) + " other hard links" + keep + " the old content";
}

}  // namespace quorvane::cli
