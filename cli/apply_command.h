// SPDX-License-Identifier: Apache-2.0
// `quorvane-cli apply [OPTIONS] TABLE...`: per-file values from tables (table/table_plan.h), each
// file's row one request through the same change path as `set` (cli/file_run.h).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quorvane::cli {

// Reads every table, matches each row to its file (a relative path is relative to the table's
// folder) and reads every cell against the file it names, planning each file's change, before
// anything is written. A table with a refused cell, a row naming no file, two rows naming one
// file, or a value its file cannot hold is refused: one "quorvane-cli: TABLE: row N, column C:
// REASON" line to `err` for each, nothing changed, status 2. Otherwise each file goes through the
// change path as with `set` (--dry-run, --backup, -j, --force-signed, --allow-new-times): "PATH:
// changed" or "PATH: unchanged" (a row that asks nothing the file does not hold writes nothing)
// to `out`, or a failure to `err`. Returns 0 when every file was done, 1 when some failed, 2 for
// a usage error or a refused table.
int runApply(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace quorvane::cli
