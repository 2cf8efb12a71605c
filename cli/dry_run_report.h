// SPDX-License-Identifier: Apache-2.0
// What a dry run of set or scrub prints for one file: its plan (change/file_plan.h), "PATH: would
// change" followed by one indented line per value that would differ ("  Label: 'old' -> 'new'",
// values escaped for a line), or "PATH: nothing would change".
#pragma once

#include <ostream>
#include <string>

#include "change/file_plan.h"

namespace quorvane::cli {

// Prints the plan of `path` (not refused) to `out`.
void printPlan(const std::string& path, const change::FilePlan& plan, std::ostream& out);

}  // namespace quorvane::cli
