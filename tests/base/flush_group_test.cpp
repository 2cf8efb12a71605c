// SPDX-License-Identifier: Apache-2.0
// Members of a flush group share their flushes: many files' steps end in one round each, a member
// that works long does not hold back another's flush past the longest wait, and outside a member
// a flush is the file's own.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <chrono>
#include <latch>
#include <thread>
#include <vector>

#include "base/flush_group.h"
#include "base/unique_fd.h"
#include "tests/support/corpus.h"

namespace quorvane {
namespace {

using namespace std::chrono_literals;

constexpr long kExt4 = 0xEF53;

bool onExt4(const std::string& folder)
{
    struct statfs fileSystem {};
    return ::statfs(folder.c_str(), &fileSystem) == 0 && fileSystem.f_type == kExt4;
}

TEST(FlushGroup, EachStepOfManyFilesIsOneRoundAndAMemberThatWorksLongHoldsNoOneBack)
{
    testing::ScratchDir dir;
    if (!onExt4(dir.path().string())) GTEST_SKIP() << "the scratch folder is not on ext4";
    constexpr int kFiles = 24, kSteps = 3;
    {
        FlushGroup group(kFiles, kFiles, 10s);
        std::latch allMembers(kFiles);
        std::vector<int> failedSyncs(kFiles, 0);
        std::vector<std::jthread> threads;
        for (int file = 0; file < kFiles; ++file)
            threads.emplace_back([&, file] {
                const std::string path = (dir.path() / ("f" + std::to_string(file))).string();
                const FlushGroup::Member member(group, path);
                allMembers.arrive_and_wait();
                UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
                for (int step = 0; step < kSteps; ++step)
                    failedSyncs[std::size_t(file)] += ::write(fd.get(), "step", 4) == 4 && group.flush(fd.get()) ? 0 : 1;
            });
        threads.clear();
        EXPECT_EQ(failedSyncs, std::vector<int>(kFiles, 0));
        EXPECT_EQ(group.counts().rounds, std::uint64_t(kSteps));
        EXPECT_EQ(group.counts().fileSystemSyncs, std::uint64_t(kSteps));
        EXPECT_EQ(group.counts().fileSyncs, 0u);
    }
    {
        FlushGroup group(2, 2, 50ms);
        std::latch bothMembers(2);
        std::chrono::steady_clock::duration flushTook{}, longWork{};
        std::jthread slow([&] {
            const FlushGroup::Member member(group, (dir.path() / "slow").string());
            bothMembers.arrive_and_wait();
            const auto start = std::chrono::steady_clock::now();
            std::this_thread::sleep_for(1s);
            longWork = std::chrono::steady_clock::now() - start;
        });
        std::jthread quick([&] {
            const std::string path = (dir.path() / "quick").string();
            const FlushGroup::Member member(group, path);
            bothMembers.arrive_and_wait();
            UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
            const auto start = std::chrono::steady_clock::now();
            EXPECT_TRUE(group.flush(fd.get()));
            flushTook = std::chrono::steady_clock::now() - start;
        });
        slow.join();
        quick.join();
        EXPECT_LT(flushTook, longWork / 2);
        EXPECT_EQ(group.counts().rounds, 1u);
    }
}

}  // namespace
}  // namespace quorvane
