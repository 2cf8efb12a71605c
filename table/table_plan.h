// SPDX-License-Identifier: Apache-2.0
// The plan of applying value tables (table/value_table.h): every table read, each row matched to
// its file and read against what the file holds, and each file's change planned through the one
// change path (change/file_plan.h), before anything is written. `quorvane-cli apply` and the
// window's "Apply values from table" both start here.
#pragma once

#include <string>
#include <vector>

#include "change/file_plan.h"
#include "change/file_request.h"

namespace quorvane::table {

struct TablePlan {
    // The files the tables name, in the tables' order, each with its request and the plan of it
    // (a plan without changes for a request that asks nothing the file does not hold).
    std::vector<std::string> paths;
    std::vector<change::FileRequest> requests;
    std::vector<change::FilePlan> plans;
    // Why the tables are refused as a whole: "TABLE: row N, column C: REASON" each; empty when
    // they can be applied.
    std::vector<std::string> refusals;

    bool refused() const { return !refusals.empty(); }
};

// Plans the tables at `tablePaths` (a relative path in a row is relative to its table's folder).
// Refused: a table that cannot be read or parsed (at most 64 MiB), a refused cell, a row naming
// no file, two rows naming one file, a value its file cannot hold (named by the first cell whose
// value alone is refused). A file whose plan is refused for a reason of its own (signed, locked,
// ...) keeps that refused plan and does not refuse the tables. The files are read `jobs` at a time.
TablePlan planTables(const std::vector<std::string>& tablePaths, const change::ChangeOptions& options, int jobs = 1);

}  // namespace quorvane::table
