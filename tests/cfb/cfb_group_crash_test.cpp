// SPDX-License-Identifier: Apache-2.0
// Crashes of many compound-file writes that share their flushes (base/flush_group.h). Every
// write case runs on its own thread against a real file, as a member of one flush group; the
// writes and the rounds' syncfs calls are stamped from one clock. A crash after any round and
// before the next one has ended keeps every write that ended before that round began, and any
// subset of the writes begun since: each file must still open and hold its old or its new
// stream, and every other stream as it was.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <iostream>
#include <limits>
#include <mutex>
#include <thread>

#include "base/flush_group.h"
#include "tests/support/cfb_streams.h"
#include "tests/support/cfb_write_cases.h"
#include "tests/support/corpus.h"

namespace {

std::atomic<std::uint64_t> gClock{0};

struct Span {
    std::uint64_t begin, end;
};
std::mutex gRoundsMutex;
std::vector<Span> gRounds;  // the syncfs calls of the rounds, in order

}  // namespace

// The flush rounds' syncfs, stamped on the test's clock. No other code of this program calls it.
extern "C" int syncfs(int fd) noexcept
{
    static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "syncfs"));
    const std::uint64_t begin = ++gClock;
    const int result = real(fd);
    const std::lock_guard lock(gRoundsMutex);
    gRounds.push_back({begin, ++gClock});
    return result;
}

namespace quorvane::testing {
namespace {

constexpr long kExt4 = 0xEF53;

struct Write {
    Span span;
    std::uint64_t offset;
    std::vector<std::byte> data;
};

// A real file whose writes are stamped on the test's clock; its syncs join the thread's group.
class StampedFile final : public RandomAccessFile {
public:
    explicit StampedFile(PosixFile& inner) : inner_(inner) {}
    bool readAt(std::uint64_t offset, std::span<std::byte> out) override { return inner_.readAt(offset, out); }
    bool writeAt(std::uint64_t offset, std::span<const std::byte> data) override
    {
        const std::uint64_t begin = ++gClock;
        const bool written = inner_.writeAt(offset, data);
        writes_.push_back({{begin, ++gClock}, offset, std::vector<std::byte>(data.begin(), data.end())});
        return written;
    }
    bool truncate(std::uint64_t) override { return false; }  // a write that succeeds never shortens
    bool sync() override { return inner_.sync(); }
    std::optional<std::uint64_t> size() override { return inner_.size(); }
    const std::vector<Write>& writes() const { return writes_; }

private:
    PosixFile& inner_;
    std::vector<Write> writes_;
};

TEST(CfbGroupCrash, AnySubsetOfTheWritesBetweenTwoRoundsLeavesEveryFileOldOrNew)
{
    ScratchDir dir;
    struct statfs fileSystem {};
    if (::statfs(dir.path().c_str(), &fileSystem) != 0 || fileSystem.f_type != kExt4)
        GTEST_SKIP() << "the scratch folder is not on ext4, where a flush group uses syncfs";
    const std::vector<CfbWriteCase> cases = cfbWriteCases();
    std::vector<std::vector<std::byte>> originals;
    std::vector<std::vector<Write>> writes(cases.size());
    std::vector<int> failed(cases.size(), 0);
    {
        FlushGroup group(2, int(cases.size()), std::chrono::seconds(10));
        std::vector<std::jthread> threads;
        for (std::size_t index = 0; index < cases.size(); ++index) {
            originals.push_back(buildCompoundFile(cases[index].layout));
            const std::string path = (dir.path() / ("case" + std::to_string(index) + ".cfb")).string();
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(originals.back().data()), std::streamsize(originals.back().size()));
            threads.emplace_back([&, index, path] {
                const FlushGroup::Member member(group, path);
                std::optional<PosixFile> file = PosixFile::open(path, OpenMode::ReadWriteExclusive);
                if (!file) {
                    failed[index] = 1;
                    return;
                }
                file->shareFlushesWith(&group);
                StampedFile stamped(*file);
                Failure fault;
                failed[index] = applyCfbWrite(stamped, cases[index], &fault) ? 0 : 1;
                writes[index] = stamped.writes();
            });
        }
    }
    ASSERT_EQ(failed, std::vector<int>(cases.size(), 0));
    const std::vector<Span> rounds = gRounds;
    ASSERT_GE(rounds.size(), 2u) << "the writes should flush between their phases";

    int crashes = 0;
    // Crash point r: after round r - 1 ended (none for r = 0) and before round r ended.
    for (std::size_t r = 0; r <= rounds.size(); ++r) {
        const std::uint64_t durableBefore = r == 0 ? 0 : rounds[r - 1].begin;
        const std::uint64_t crashBefore = r < rounds.size() ? rounds[r].end : std::numeric_limits<std::uint64_t>::max();
        for (std::size_t index = 0; index < cases.size(); ++index) {
            const CfbWriteCase& c = cases[index];
            MemoryFile durable(originals[index]);
            std::vector<const Write*> pending;
            for (const Write& write : writes[index]) {
                if (write.span.end < durableBefore) durable.writeAt(write.offset, write.data);
                else if (write.span.begin < crashBefore) pending.push_back(&write);
            }
            MemoryFile pristine(originals[index]);
            const auto before = readRootStreams(pristine);
            ASSERT_TRUE(before) << c.label;
            for (const std::uint64_t mask : keptWriteSubsets(pending.size())) {
                MemoryFile crashed(durable.bytes());
                for (std::size_t w = 0; w < pending.size(); ++w)
                    if (w < 64 && (mask >> w) & 1) crashed.writeAt(pending[w]->offset, pending[w]->data);
                const std::string where = c.label + ", crash before round " + std::to_string(r) + " ended, kept " +
                                          std::to_string(mask) + " of " + std::to_string(pending.size());
                ++crashes;
                const auto after = readRootStreams(crashed);
                if (!after) {
                    ADD_FAILURE() << where << ": the file no longer opens or fails its allocation check";
                    continue;
                }
                const auto target = after->find(c.target);
                const bool isNew = target != after->end() && target->second == c.newData;
                const bool isOld = c.create ? target == after->end() : target != after->end() && target->second == before->at(c.target);
                EXPECT_TRUE(isNew || isOld) << where;
                for (const auto& [name, bytes] : *before) {
                    if (name == c.target) continue;
                    EXPECT_TRUE(after->count(name) && after->at(name) == bytes) << where;
                }
            }
        }
    }
    std::cout << cases.size() << " files, " << rounds.size() << " rounds, " << crashes << " crashes\n";
    EXPECT_GT(crashes, 500);
}

}  // namespace
}  // namespace quorvane::testing
