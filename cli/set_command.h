// `quorvane-cli set [ROW OPTIONS] FILE...`: writes the given rows into each file through the
// same property writes the program uses.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quorvane::cli {

// Writes the rows to every file; the reason of each failed file goes to `err`. Returns 0 when
// every file was written, 1 when some was not, 2 for a usage error (nothing written then).
int runSet(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace quorvane::cli
