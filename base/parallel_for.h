// SPDX-License-Identifier: Apache-2.0
// Independent pieces of work spread over a few threads.
#pragma once

#include <cstddef>
#include <functional>

namespace quorvane {

// Calls work(index) once for every index below `count`, on up to `jobs` threads at once (the
// caller's among them), and returns when every call has returned. Indexes are taken in order,
// each by the next free thread. When a call throws, no index is started any more and the first
// exception is thrown again here once the calls under way have ended.
void forEachIndexInParallel(std::size_t count, int jobs, const std::function<void(std::size_t)>& work);

}  // namespace quorvane
