// SPDX-License-Identifier: Apache-2.0
#include "tests/support/faulty_file.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace quorvane::testing {

int& FaultyFile::faultPointsExercised()
{
    static int count = 0;
    return count;
}

namespace {

// Prints how many fault points the test program exercised, for the record of a test run.
class FaultPointReport : public ::testing::Environment {
public:
    void TearDown() override
    {
        if (FaultyFile::faultPointsExercised() > 0)
            std::printf("fault points exercised: %d\n", FaultyFile::faultPointsExercised());
    }
};

const auto* const kReport = ::testing::AddGlobalTestEnvironment(new FaultPointReport);

}  // namespace
}  // namespace quorvane::testing
