// Two streams written in one write sequence (writeStreams): replayed as a crash in every epoch
// with subsets of that epoch's writes kept, cut after each mutating call, and failing each call in
// turn. Every time the file must open, pass the allocation check, hold each of the two streams old
// or new (each on its own), and hold every other stream unchanged; a write that succeeded holds
// both new.
#include <gtest/gtest.h>

#include <random>

#include "cfb/cfb_compound_file.h"
#include "cfb/cfb_stream_write.h"
#include "tests/support/cfb_builder.h"
#include "tests/support/cfb_streams.h"
#include "tests/support/faulty_file.h"

namespace quorvane::testing {
namespace {

const std::u16string kSummary = u"\x05SummaryInformation";
const std::u16string kDocumentSummary = u"\x05" u"DocumentSummaryInformation";

struct TwoStreamCase {
    std::string label;
    CfbLayout layout;
    std::vector<std::byte> summary, documentSummary;  // new contents
};

CfbLayout layoutOf(int version, std::vector<std::pair<std::u16string, std::size_t>> streams)
{
    CfbLayout layout;
    layout.majorVersion = version;
    unsigned seed = 1;
    for (const auto& [name, size] : streams) layout.streams.push_back({name, patternBytes(size, seed++)});
    return layout;
}

std::vector<TwoStreamCase> twoStreamCases()
{
    std::vector<TwoStreamCase> cases;
    for (const int v : {3, 4}) {
        const std::string p = "v" + std::to_string(v) + "_";
        const auto both = [v](std::size_t summary, std::size_t documentSummary) {
            return layoutOf(v, {{kSummary, summary}, {kDocumentSummary, documentSummary}, {u"PowerPoint Document", 9000}});
        };
        // Both grow at the end of the mini stream: their new mini sectors share container sectors.
        cases.push_back({p + "BothMiniGrow", both(400, 300), patternBytes(2500, 70), patternBytes(2000, 71)});
        cases.push_back({p + "MiniToRegularAndBack", both(400, 6000), patternBytes(5000, 72), patternBytes(300, 73)});
        cases.push_back({p + "ReplaceAndCreate", layoutOf(v, {{kSummary, 400}, {u"PowerPoint Document", 9000}}),
                         patternBytes(700, 74), patternBytes(500, 75)});
    }
    // 124 of the 128 mini sectors one v3 MiniFAT sector maps are taken: growth needs a second.
    cases.push_back({"v3_MiniFatGrows", layoutOf(3, {{kSummary, 200}, {kDocumentSummary, 100}, {u"A", 3968}, {u"B", 3648}}),
                     patternBytes(1000, 76), patternBytes(900, 77)});
    return cases;
}

bool applyTwoStreamWrite(RandomAccessFile& file, const TwoStreamCase& c, Failure* failure)
{
    auto opened = cfb::CompoundFile::open(file);
    *failure = opened.failure();
    if (!opened.ok()) return false;
    const auto summaryId = opened->findRootStream(kSummary);
    const auto documentSummaryId = opened->findRootStream(kDocumentSummary);
    const cfb::StreamWrite writes[] = {{summaryId, summaryId ? u"" : kSummary, c.summary},
                                       {documentSummaryId, documentSummaryId ? u"" : kDocumentSummary, c.documentSummary}};
    *failure = cfb::writeStreams(opened.value(), writes);
    return !failure->failed();
}

// Each target old or new, every other stream as before; both new when `written`.
void expectOldOrNew(const StreamMap& before, MemoryFile& file, const TwoStreamCase& c, bool written, const std::string& where)
{
    const auto after = readRootStreams(file);
    if (!after) {
        ADD_FAILURE() << where << ": the file no longer opens or fails its allocation check";
        return;
    }
    for (const auto& [name, data] : {std::pair{kSummary, c.summary}, std::pair{kDocumentSummary, c.documentSummary}}) {
        const auto now = after->find(name);
        const auto old = before.find(name);
        const bool isNew = now != after->end() && now->second == data;
        const bool isOld = old == before.end() ? now == after->end() : now != after->end() && now->second == old->second;
        EXPECT_TRUE(isNew || (isOld && !written)) << where << " " << printableName(name);
    }
    for (const auto& [name, bytes] : before) {
        if (name != kSummary && name != kDocumentSummary) {
            EXPECT_TRUE(after->count(name) && after->at(name) == bytes) << where << " " << printableName(name);
        }
    }
}

// Records the writes of each epoch (an epoch ends with a sync).
class RecordingFile final : public RandomAccessFile {
public:
    explicit RecordingFile(MemoryFile& inner) : epochs_(1), inner_(inner) {}
    bool readAt(std::uint64_t offset, std::span<std::byte> out) override { return inner_.readAt(offset, out); }
    bool writeAt(std::uint64_t offset, std::span<const std::byte> data) override
    {
        epochs_.back().push_back({offset, std::vector<std::byte>(data.begin(), data.end())});
        return inner_.writeAt(offset, data);
    }
    bool truncate(std::uint64_t) override { return false; }
    bool sync() override
    {
        epochs_.emplace_back();
        return true;
    }
    std::optional<std::uint64_t> size() override { return inner_.size(); }
    std::vector<std::vector<std::pair<std::uint64_t, std::vector<std::byte>>>> epochs_;

private:
    MemoryFile& inner_;
};

TEST(CfbTwoStreamWrite, AnySubsetOfTheWritesOfAnEpochLeavesEachStreamOldOrNew)
{
    int crashes = 0;
    for (const TwoStreamCase& c : twoStreamCases()) {
        const std::vector<std::byte> original = buildCompoundFile(c.layout);
        MemoryFile pristine(original);
        const auto before = readRootStreams(pristine);
        ASSERT_TRUE(before) << c.label;
        MemoryFile recorded(original);
        RecordingFile recorder(recorded);
        Failure fault;
        ASSERT_TRUE(applyTwoStreamWrite(recorder, c, &fault)) << c.label << ": " << fault.text();
        expectOldOrNew(*before, recorded, c, true, c.label);
        const auto& epochs = recorder.epochs_;
        MemoryFile durable(original);
        for (std::size_t e = 0; e < epochs.size(); ++e) {
            const std::size_t count = std::min<std::size_t>(epochs[e].size(), 64);
            std::vector<std::uint64_t> masks;
            if (count <= 8) {
                for (std::uint64_t mask = 0; mask < (1ull << count); ++mask) masks.push_back(mask);
            } else {
                std::mt19937_64 random(count);
                for (std::size_t i = 0; i < count; ++i) masks.push_back(~(1ull << i));
                for (int i = 0; i < 200; ++i) masks.push_back(random());
            }
            for (const std::uint64_t mask : masks) {
                MemoryFile crashed(durable.bytes());
                for (std::size_t w = 0; w < count; ++w)
                    if ((mask >> w) & 1) crashed.writeAt(epochs[e][w].first, epochs[e][w].second);
                expectOldOrNew(*before, crashed, c, false, c.label + " epoch " + std::to_string(e) + " kept " + std::to_string(mask));
                ++crashes;
            }
            for (const auto& [offset, data] : epochs[e]) durable.writeAt(offset, data);
        }
    }
    EXPECT_GT(crashes, 200);
}

TEST(CfbTwoStreamWrite, EveryCutAndEveryFailingCallLeavesEachStreamOldOrNew)
{
    for (const TwoStreamCase& c : twoStreamCases()) {
        const std::vector<std::byte> original = buildCompoundFile(c.layout);
        MemoryFile pristine(original);
        const auto before = readRootStreams(pristine);
        ASSERT_TRUE(before) << c.label;
        for (const auto mode : {FaultyFile::Mode::CutAfter, FaultyFile::Mode::FailOne}) {
            for (int at = mode == FaultyFile::Mode::CutAfter ? 0 : 1;; ++at) {
                MemoryFile file(original);
                FaultyFile faulty(file, mode, at);
                Failure fault;
                const bool written = applyTwoStreamWrite(faulty, c, &fault);
                const std::string where = c.label + (mode == FaultyFile::Mode::CutAfter ? " cut after " : " failing call ") +
                                          std::to_string(at);
                EXPECT_EQ(written, !faulty.triggered()) << where;
                expectOldOrNew(*before, file, c, written, where);
                if (!faulty.triggered()) break;
            }
        }
    }
}

}  // namespace
}  // namespace quorvane::testing
