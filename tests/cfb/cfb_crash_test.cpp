// SPDX-License-Identifier: Apache-2.0
// Crashes with reordered writes: a disk may make the writes issued since the last sync durable
// in any order, or only some of them. Each write case is recorded, then replayed as a crash in
// every epoch between two syncs with subsets of that epoch's writes kept (all subsets for small
// epochs, a fixed sample otherwise). The write order's promise must hold for every one: the
// file opens, passes the allocation check, and holds the old or the new stream and every other
// stream unchanged.
#include <gtest/gtest.h>

#include "tests/support/cfb_streams.h"
#include "tests/support/cfb_write_cases.h"

namespace quorvane::testing {
namespace {

struct Write {
    std::uint64_t offset;
    std::vector<std::byte> data;
};

// A file that applies every call to an inner MemoryFile and records the writes, epoch by
// epoch (an epoch ends with a sync).
class RecordingFile final : public RandomAccessFile {
public:
    explicit RecordingFile(MemoryFile& inner) : inner_(inner), epochs_(1) {}
    bool readAt(std::uint64_t offset, std::span<std::byte> out) override { return inner_.readAt(offset, out); }
    bool writeAt(std::uint64_t offset, std::span<const std::byte> data) override
    {
        epochs_.back().push_back({offset, std::vector<std::byte>(data.begin(), data.end())});
        return inner_.writeAt(offset, data);
    }
    bool truncate(std::uint64_t) override { return false; }  // the engine never shortens a file
    bool sync() override
    {
        epochs_.emplace_back();
        return true;
    }
    std::optional<std::uint64_t> size() override { return inner_.size(); }
    const std::vector<std::vector<Write>>& epochs() const { return epochs_; }

private:
    MemoryFile& inner_;
    std::vector<std::vector<Write>> epochs_;
};

TEST(CfbCrash, AnySubsetOfTheWritesOfAnEpochLeavesOldOrNewStream)
{
    int crashes = 0;
    for (const CfbWriteCase& c : cfbWriteCases()) {
        const std::vector<std::byte> original = buildCompoundFile(c.layout);
        MemoryFile pristine(original);
        const auto before = readRootStreams(pristine);
        ASSERT_TRUE(before) << c.label;

        MemoryFile recorded(original);
        RecordingFile recorder(recorded);
        Failure fault;
        ASSERT_TRUE(applyCfbWrite(recorder, c, &fault)) << c.label;
        const auto& epochs = recorder.epochs();
        // At least the switch and the clean-up after it (the data before the switch has an
        // epoch of its own unless there is none).
        ASSERT_GE(epochs.size(), 2u) << c.label << ": the write should sync between its phases";

        MemoryFile durable(original);  // everything of the epochs before the crashing one
        for (std::size_t e = 0; e < epochs.size(); ++e) {
            for (const std::uint64_t mask : keptWriteSubsets(epochs[e].size())) {
                MemoryFile crashed(durable.bytes());
                for (std::size_t w = 0; w < epochs[e].size(); ++w)
                    if (w < 64 && (mask >> w) & 1) crashed.writeAt(epochs[e][w].offset, epochs[e][w].data);
                const std::string where = c.label + " epoch " + std::to_string(e) + " kept " + std::to_string(mask);
                const auto after = readRootStreams(crashed);
                ++crashes;
                if (!after) {
                    ADD_FAILURE() << where << ": the file no longer opens or fails its allocation check";
                    continue;
                }
                const auto target = after->find(c.target);
                const bool isNew = target != after->end() && target->second == c.newData;
                const bool isOld = c.create ? target == after->end()
                                            : target != after->end() && target->second == before->at(c.target);
                EXPECT_TRUE(isNew || isOld) << where;
                for (const auto& [name, bytes] : *before) {
                    if (name == c.target) continue;
                    EXPECT_TRUE(after->count(name) && after->at(name) == bytes) << where << " " << printableName(name);
                }
            }
            for (const Write& write : epochs[e]) durable.writeAt(write.offset, write.data);
        }
    }
    EXPECT_GT(crashes, 500);
}

}  // namespace
}  // namespace quorvane::testing
