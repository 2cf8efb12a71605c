// SPDX-License-Identifier: Apache-2.0
#include "base/parallel_for.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace quorvane {

void forEachIndexInParallel(std::size_t count, int jobs, const std::function<void(std::size_t)>& work)
{
    std::atomic<std::size_t> next{0};
    std::mutex thrownMutex;
    std::exception_ptr thrown;
    const auto worker = [&] {
        for (std::size_t index; (index = next.fetch_add(1)) < count;) {
            try {
                work(index);
            } catch (...) {
                next.store(count);
                const std::lock_guard lock(thrownMutex);
                if (!thrown) thrown = std::current_exception();
            }
        }
    };
    {
        std::vector<std::jthread> helpers;
        const std::size_t threads = std::min<std::size_t>(std::size_t(std::max(jobs, 1)), count);
        for (std::size_t i = 1; i < threads; ++i) helpers.emplace_back(worker);
        worker();
    }
    if (thrown) std::rethrow_exception(thrown);
}

}  // namespace quorvane
