// SPDX-License-Identifier: Apache-2.0
// The percentage a progress window shows: exact half-to-even rounding of done/total*100 for
// every step of every run of up to 1000 files.
#include <gtest/gtest.h>

#include <cstdlib>

#include "change/progress_percent.h"

namespace quorvane::change {
namespace {

// True when `percent` is done/total*100 rounded to the nearest whole number, a half to the
// even one: its distance to the exact value is below one half, or exactly one half and even.
bool isRoundedHalfToEven(int percent, int done, int total)
{
    const long long twiceDistance = 2 * std::llabs(100LL * done - 1LL * percent * total);  // in 1/total units
    return twiceDistance < total || (twiceDistance == total && percent % 2 == 0);
}

TEST(ProgressPercent, EveryStepOfEveryRunUpTo1000FilesRoundsHalfToEven)
{
    int wrong = 0;
    for (int total = 1; total <= 1000; ++total) {
        for (int done = 1; done <= total; ++done) {
            const int percent = progressPercent(done, total);
            if (isRoundedHalfToEven(percent, done, total)) continue;
            if (++wrong <= 10) ADD_FAILURE() << done << " of " << total << " shows " << percent;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(ProgressPercent, HalvesGoToTheEvenNeighbour)
{
    const struct {
        int done, total, percent;
    } cases[] = {{1, 8, 12}, {3, 8, 38}, {23, 40, 58}, {109, 200, 54}, {1, 200, 0}, {3, 200, 2}, {0, 5, 0}, {5, 5, 100}};
    for (const auto& c : cases) EXPECT_EQ(progressPercent(c.done, c.total), c.percent) << c.done << " of " << c.total;
}

}  // namespace
}  // namespace quorvane::change
