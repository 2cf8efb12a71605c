// SPDX-License-Identifier: Apache-2.0
// quorvane-cli export: the CSV export of the program, for files named on the command line.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quorvane::cli {

// Runs `export [-o OUT.csv|-] [--force] [--safe-formulas] [--progress] [-r] FILE|FOLDER...`
// (cli/export_options.h), writing to `out` when no output file is named. Exit status 0 when
// every file gave a full line and the CSV was written; 1 when some file could not be read
// completely, a folder could not be listed, or the CSV could not be
// written; 2 for usage errors, a refused output included (nothing written then).
int runExport(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace quorvane::cli
