// SPDX-License-Identifier: Apache-2.0
// Works on the files of a command several at a time (-j/--jobs) and hands back what each gave in
// the order the files were named. A file named more than once (the same name, or the same file
// under another name) is worked on once; its result is handed back at every place it is named,
// unless that work split the names apart (a package rewritten under one of its hard links).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace quorvane::cli {

// For each place in `paths`, the place where the same file is first named: files are the same
// when both names give the same device and inode, or, for a name that cannot be looked up, when
// the names are equal byte for byte.
std::vector<std::size_t> firstPlaces(const std::vector<std::string>& paths);

// Runs `work(place)` once for every place that firstPlaces gives for itself, on up to `jobs`
// threads (the calling thread alone when `jobs` is 1), and calls `report(place, firstPlace)` on the
// calling thread for every place in order, as soon as the work of its first place has returned.
// `work` runs on other threads when `jobs` > 1: it must set up whatever thread-bound state it
// needs; what it throws is thrown again on the calling thread at that file's turn, after the
// reports before it, and no file is started after that. `report` runs on the calling thread.
// A later name that no longer names the same file as the first when its turn comes (the work
// under the first name put a new file there) is worked on then, on the calling thread, and
// reported as `report(place, place)`, followed by `release(place)`.
// `release(firstPlace)` (when given) follows the report of the last place that names the file, on
// the calling thread, so that a caller can drop what the work kept for it: what is held at any
// time is what waits for its turn, not every file's result.
void forEachFileInOrder(const std::vector<std::string>& paths, int jobs, const std::function<void(std::size_t)>& work,
                        const std::function<void(std::size_t, std::size_t)>& report,
                        const std::function<void(std::size_t)>& release = {});

}  // namespace quorvane::cli
