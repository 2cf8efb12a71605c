// SPDX-License-Identifier: Apache-2.0
// `quorvane-cli set [OPTIONS] FILE...`: the batch change without windows. Each file goes through
// the same change as a batch run of the program: optional backup, the given rows, the file
// times with the given date and time parts, the attribute bits.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quorvane::cli {

// Changes every file in turn (folders expanded, cli/file_arguments.h) through the one change
// path (cli/file_run.h) and prints one line for each: "PATH: changed" ("PATH: unchanged" when it
// held the values already) to `out`, or "quorvane-cli: PATH: failed: REASON" to `err` (a file
// whose plan refuses it or whose backup fails is not changed; the next files still are). A file
// counts as failed also when a requested time or attribute reads back other than asked. With
// --dry-run each file is only planned, and "PATH: would change" with "  Label: 'old' -> 'new'"
// lines (or "PATH: nothing would change") goes to `out`. Returns 0 when every file was changed (or
// read), 1 when some was not, 2 for a usage error (nothing touched then).
int runSet(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace quorvane::cli
