// SPDX-License-Identifier: Apache-2.0
// Work spread over threads: every index once, and a call that throws ends the run with its
// exception after the calls under way.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

#include "base/parallel_for.h"

namespace quorvane {
namespace {

TEST(ParallelFor, EveryIndexOnceAndAThrowEndsTheRun)
{
    for (const int jobs : {1, 4}) {
        std::vector<std::atomic<int>> calls(1000);
        forEachIndexInParallel(calls.size(), jobs, [&](std::size_t index) { calls[index].fetch_add(1); });
        for (std::size_t index = 0; index < calls.size(); ++index) ASSERT_EQ(calls[index].load(), 1) << jobs << " jobs, index " << index;

        std::atomic<std::size_t> started{0};
        EXPECT_THROW(forEachIndexInParallel(100000, jobs, [&](std::size_t index) {
                         started.fetch_add(1);
                         if (index == 10) throw std::runtime_error("index 10");
                     }),
                     std::runtime_error);
        EXPECT_LT(started.load(), 1000u) << jobs << " jobs went on after the throw";
    }
}

}  // namespace
}  // namespace quorvane
