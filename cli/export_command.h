// quorvane-cli export: the CSV export of the program, for files named on the command line.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quorvane::cli {

// Runs `export [--progress] OUT.csv FILE...`. Exit status 0 when every file gave a full line and
// the file was saved, 1 when some file could not be read or the save failed, 2 for usage errors.
int runExport(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace quorvane::cli
