// The operations the benchmark times, each over files the driver (bench/run-bench) prepared,
// each as the program itself runs it: the core calls in the same order, nothing skipped. They
// write what they produce to their own outputs and report only how many files failed.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace quorvane::bench {

// Shows each file as the property display does: snapshot, the 14 rows, the file-info texts,
// the times and attributes put back. One line of tab-separated texts per file goes to `out`.
// Returns the number of files that could not be read completely.
int showFiles(const std::vector<std::string>& paths, std::ostream& out);

// The CSV export of `paths` into `csvPath`. Returns the number of files without a full line,
// plus one when the CSV file could not be saved.
int exportFiles(const std::string& csvPath, const std::vector<std::string>& paths);

// Writes all 14 rows of `path` (a .ppt or a .pptx), values varied by `runNumber` so that every
// run changes every row. Returns 0 when written, 1 when not.
int writeAllRows(const std::string& path, int runNumber);

// Writes the Title row alone of `path`, varied by `runNumber`. Returns 0 or 1 as above.
int writeTitleRow(const std::string& path, int runNumber);

// A batch change of `paths`: Title, Author and Company checked, the three times set, attribute
// boxes grayed; with `backup`, each file is first copied aside. Every file is tried (a failed
// backup is counted, not a reason to stop, so that every run does the same work). Returns the
// number of files that failed.
int batchChange(const std::vector<std::string>& paths, bool backup);

// Adds a stream of `byteCount` bytes named "BenchPadding" to the root storage of the compound
// file at `path`, through the compound-file engine. Returns 0 when added, 1 when not.
int addPaddingStream(const std::string& path, std::uint64_t byteCount);

}  // namespace quorvane::bench
