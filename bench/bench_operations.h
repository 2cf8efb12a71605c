// SPDX-License-Identifier: Apache-2.0
// The operations the benchmark runs through the core rather than through quorvane-cli: the
// 14-row write whose bytes passed to write calls the driver (bench/run-bench) counts, and the
// making of its large compound file.
#pragma once

#include <cstdint>
#include <string>

namespace quorvane::bench {

// Writes all 14 rows of `path` (a .ppt or a .pptx), values varied by `runNumber` so that every
// run changes every row. Returns 0 when written, 1 when not.
int writeAllRows(const std::string& path, int runNumber);

// Adds a stream of `byteCount` bytes named "BenchPadding" to the root storage of the compound
// file at `path`, through the compound-file engine. Returns 0 when added, 1 when not.
int addPaddingStream(const std::string& path, std::uint64_t byteCount);

}  // namespace quorvane::bench
