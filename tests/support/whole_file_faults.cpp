// SPDX-License-Identifier: Apache-2.0
#include "tests/support/whole_file_faults.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/corpus.h"
#include "tests/support/faulty_file.h"

namespace quorvane::testing {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

int exerciseWholeFileFaults(const fs::path& target, const std::function<bool(const TargetWrapper&)>& save,
                            bool* finalResult)
{
    const fs::path folder = target.parent_path();
    const std::vector<std::string> namesBefore = namesIn(folder);
    const bool existed = fs::exists(target);
    const std::string before = existed ? readFileBytes(target) : std::string();
    int points = 0;
    for (const auto mode : {FaultyFile::Mode::FailOne, FaultyFile::Mode::CutAfter}) {
        // Each mode starts from the target as it was (the previous mode ended with a good save).
        if (existed) {
            writeFileBytes(target, before);
        } else {
            fs::remove(target);
        }
        for (int k = mode == FaultyFile::Mode::FailOne ? 1 : 0;; ++k) {
            std::unique_ptr<FaultyFile> faulty;
            const TargetWrapper wrap = [&](RandomAccessFile& file) -> RandomAccessFile& {
                faulty = std::make_unique<FaultyFile>(file, mode, k, k % 2 ? ENOSPC : EIO);
                return *faulty;
            };
            const bool saved = save(wrap);
            if (!faulty || !faulty->triggered()) {
                *finalResult = saved;
                break;
            }
            ++points;
            EXPECT_FALSE(saved) << "a failed write was reported as success, k = " << k;
            EXPECT_EQ(fs::exists(target), existed) << "k = " << k;
            if (existed) {
                EXPECT_EQ(readFileBytes(target), before) << "k = " << k;
            }
            EXPECT_EQ(namesIn(folder), namesBefore) << "a temporary file was left behind, k = " << k;
            if (k > 10000) {
                ADD_FAILURE() << "the save never finished";
                break;
            }
        }
    }
    return points;
}

}  // namespace quorvane::testing
