// SPDX-License-Identifier: Apache-2.0
// The -j/--jobs option of show, set and export: how many files are worked on at a time.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quorvane::cli {

constexpr int kMaxJobs = 256;

// How many files are worked on at a time without the option: two per processor, so that while a
// file's work waits (a read from the disk, the journal of its rename, its flush round) another
// keeps the processor busy.
int defaultJobs();

enum class JobsOption {
    NotThis,  // arguments[index] is another argument
    Taken,    // read into `jobs`; `index` is at its last argument (the value, when separate)
    Invalid   // the option without a whole number from 1 to kMaxJobs; `problem` says so
};

// Reads "-j N", "-jN", "--jobs N" or "--jobs=N" at arguments[index].
JobsOption readJobsOption(const std::vector<std::string>& arguments, std::size_t& index, int& jobs, std::string& problem);

}  // namespace quorvane::cli
