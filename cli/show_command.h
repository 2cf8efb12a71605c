// SPDX-License-Identifier: Apache-2.0
// `quorvane-cli show [--json] FILE...`: the 14 catalogue rows of each file as the program's
// display reads them.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quorvane::cli {

// Prints every file's rows to `out` and the reason of each unreadable file to `err`.
// Returns 0 when every file was read, 1 when some could not be, 2 for a usage error.
int runShow(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace quorvane::cli
