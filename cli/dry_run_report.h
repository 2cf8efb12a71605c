// SPDX-License-Identifier: Apache-2.0
// What a dry run of set or scrub prints for one file: its plan (change/file_plan.h), "PATH: would
// change" followed by one indented line per value that would differ ("  Label: 'old' -> 'new'",
// values escaped for a line), or "PATH: nothing would change".
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "change/file_plan.h"

namespace quorvane::cli {

// Prints the plan of `path` (not refused) to `out`, with splitLinksNote after "would change".
void printPlan(const std::string& path, const change::FilePlan& plan, std::ostream& out);

// What a report adds for a package whose change splits it off from its `otherHardLinks` other
// names (`done`: the change is made, else it would be): "" when there are none, else "; its other
// hard link keeps the old content" or "; its N other hard links keep the old content" ("would
// keep" when not `done`).
std::string splitLinksNote(std::uint64_t otherHardLinks, bool done);

}  // namespace quorvane::cli
