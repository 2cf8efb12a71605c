// SPDX-License-Identifier: Apache-2.0
// Several streams written in one write sequence (writeStreams), with their directory entries in
// one directory sector (the switch is that sector) or spread over two (the directory is copied and
// the switch is the header): replayed as a crash in every epoch with subsets of that epoch's writes
// kept, cut after each mutating call, and failing each call in turn. Every time the file must open,
// pass the allocation check, hold the targets all old or all new, and hold every other stream
// unchanged; a write that succeeded holds them all new, and one refused before its switch leaves
// the file byte for byte as it was.
#include <gtest/gtest.h>

#include <cstring>

#include <algorithm>
#include <random>
#include <set>

#include "cfb/cfb_compound_file.h"
#include "cfb/cfb_stream_write.h"
#include "tests/support/cfb_builder.h"
#include "tests/support/cfb_olefile.h"
#include "tests/support/cfb_streams.h"
#include "tests/support/corpus.h"
#include "tests/support/faulty_file.h"

namespace quorvane::testing {
namespace {

const std::u16string kSummary = u"\x05SummaryInformation";
const std::u16string kDocumentSummary = u"\x05" u"DocumentSummaryInformation";
const std::u16string kCurrentUser = u"Current User";
const std::u16string kPowerPoint = u"PowerPoint Document";

// What the one write that turns the targets new is.
enum class Switch { DirectorySector, Header };

struct MultiStreamCase {
    std::string label;
    CfbLayout layout;
    std::vector<CfbStreamSpec> targets;  // replaced, or created when the layout lacks them
    Switch expectedSwitch;
};

CfbLayout layoutOf(int version, std::vector<std::pair<std::u16string, std::size_t>> streams)
{
    CfbLayout layout;
    layout.majorVersion = version;
    unsigned seed = 1;
    for (const auto& [name, size] : streams) layout.streams.push_back({name, patternBytes(size, seed++)});
    return layout;
}

std::vector<MultiStreamCase> multiStreamCases()
{
    using enum Switch;
    std::vector<MultiStreamCase> cases;
    for (const int v : {3, 4}) {
        const std::string p = "v" + std::to_string(v) + "_";
        const auto both = [v](std::size_t summary, std::size_t documentSummary) {
            return layoutOf(v, {{kSummary, summary}, {kDocumentSummary, documentSummary}, {kPowerPoint, 9000}});
        };
        // Both grow at the end of the mini stream: their new mini sectors share container sectors.
        cases.push_back({p + "BothMiniGrow", both(400, 300),
                         {{kSummary, patternBytes(2500, 70)}, {kDocumentSummary, patternBytes(2000, 71)}}, DirectorySector});
        cases.push_back({p + "MiniToRegularAndBack", both(400, 6000),
                         {{kSummary, patternBytes(5000, 72)}, {kDocumentSummary, patternBytes(300, 73)}}, DirectorySector});
        cases.push_back({p + "ReplaceAndCreate", layoutOf(v, {{kSummary, 400}, {kPowerPoint, 9000}}),
                         {{kSummary, patternBytes(700, 74)}, {kDocumentSummary, patternBytes(500, 75)}}, DirectorySector});
        // Current User (1), SummaryInformation (2), PowerPoint Document (3), DocumentSummaryInformation
        // (4): one sector in v4, two in v3.
        cases.push_back({p + "ThreeStreams", layoutOf(v, {{kCurrentUser, 60}, {kSummary, 400}, {kPowerPoint, 9000}, {kDocumentSummary, 300}}),
                         {{kSummary, patternBytes(1500, 78)}, {kDocumentSummary, patternBytes(5000, 79)}, {kCurrentUser, patternBytes(70, 80)}},
                         v == 4 ? DirectorySector : Header});
        // Both sets created: their parent links in PowerPoint Document (v3: the second new entry
        // takes a new directory sector, which is written before the switch).
        cases.push_back({p + "CreateBoth", layoutOf(v, {{kCurrentUser, 60}, {kPowerPoint, 9000}}),
                         {{kSummary, patternBytes(600, 89)}, {kDocumentSummary, patternBytes(700, 90)}, {kCurrentUser, patternBytes(62, 91)}},
                         DirectorySector});
    }
    // The second new name hangs below the first (Current User -> SummaryInformation ->
    // DocumentSummaryInformation), all in one sector.
    cases.push_back({"v3_CreateBothTheSecondBelowTheFirst", layoutOf(3, {{kCurrentUser, 60}}),
                     {{kSummary, patternBytes(300, 92)}, {kDocumentSummary, patternBytes(5000, 93)}}, DirectorySector});
    // The same with the first sector full: both new entries go to a new directory sector, where
    // the first gains its link to the second at the switch, so the directory is copied.
    cases.push_back({"v3_CreateBothBelowOneAnotherInANewSector", layoutOf(3, {{u"A", 10}, {u"B", 10}, {kCurrentUser, 60}}),
                     {{kSummary, patternBytes(300, 97)}, {kDocumentSummary, patternBytes(5000, 98)}}, Header});
    // Current User, the parent of both new names, in the second sector, the root in the first.
    cases.push_back({"v3_CreateBothInTwoSectors", layoutOf(3, {{u"A", 10}, {u"B", 10}, {u"Pictures", 100}, {kCurrentUser, 60}}),
                     {{kSummary, patternBytes(300, 94)}, {kDocumentSummary, patternBytes(400, 95)}, {kCurrentUser, patternBytes(40, 96)}},
                     Header});
    // 124 of the 128 mini sectors one v3 MiniFAT sector maps are taken: growth needs a second;
    // SummaryInformation is entry 3 and DocumentSummaryInformation entry 4.
    cases.push_back({"v3_MiniFatGrows", layoutOf(3, {{kSummary, 200}, {kDocumentSummary, 100}, {u"A", 3968}, {u"B", 3648}}),
                     {{kSummary, patternBytes(1000, 76)}, {kDocumentSummary, patternBytes(900, 77)}}, Header});
    // 28 three-letter names before the targets: SummaryInformation is entry 30, in the first
    // sector of 32 entries, and DocumentSummaryInformation entry 32, in the second.
    std::vector<std::pair<std::u16string, std::size_t>> many;
    for (char16_t i = 0; i < 28; ++i) many.push_back({std::u16string{u'S', char16_t(u'A' + i / 10), char16_t(u'0' + i % 10)}, 100});
    for (const auto& stream : {std::pair{kCurrentUser, std::size_t(60)}, {kSummary, 400}, {kPowerPoint, 9000}, {kDocumentSummary, 300}})
        many.push_back(stream);
    cases.push_back({"v4_EntriesInTwoSectors", layoutOf(4, many),
                     {{kSummary, patternBytes(2000, 87)}, {kDocumentSummary, patternBytes(200, 88)}}, Header});
    return cases;
}

bool applyMultiStreamWrite(RandomAccessFile& file, const MultiStreamCase& c, Failure* failure)
{
    auto opened = cfb::CompoundFile::open(file);
    *failure = opened.failure();
    if (!opened.ok()) return false;
    std::vector<cfb::StreamWrite> writes;
    for (const CfbStreamSpec& target : c.targets) {
        const auto id = opened->findRootStream(target.name);
        writes.push_back({id, id ? u"" : target.name, target.data});
    }
    *failure = cfb::writeStreams(opened.value(), writes);
    return !failure->failed();
}

enum class Outcome { Old, New, Broken };

// All targets old or all new, every other stream as before; anything else is Broken (and reported).
Outcome outcomeOf(const StreamMap& before, RandomAccessFile& file, const MultiStreamCase& c, const std::string& where)
{
    const auto after = readRootStreams(file);
    if (!after) {
        ADD_FAILURE() << where << ": the file no longer opens or fails its allocation check";
        return Outcome::Broken;
    }
    bool allOld = true, allNew = true;
    for (const CfbStreamSpec& target : c.targets) {
        const auto now = after->find(target.name);
        const auto old = before.find(target.name);
        allNew = allNew && now != after->end() && now->second == target.data;
        allOld = allOld && (old == before.end() ? now == after->end() : now != after->end() && now->second == old->second);
    }
    bool othersKept = true;
    for (const auto& [name, bytes] : before) {
        const bool target = std::any_of(c.targets.begin(), c.targets.end(), [&](const auto& t) { return t.name == name; });
        if (!target && !(after->count(name) && after->at(name) == bytes)) {
            ADD_FAILURE() << where << " " << printableName(name) << " changed";
            othersKept = false;
        }
    }
    if (allOld == allNew || !othersKept) {
        ADD_FAILURE() << where << ": the targets are " << (allOld ? "old and new at once" : "a mix of old and new");
        return Outcome::Broken;
    }
    return allNew ? Outcome::New : Outcome::Old;
}

// olefile, an independent reader, opens the file and finds the targets all unchanged or all
// changed (or added), and every other stream as it was.
void expectOlefileOpens(const std::vector<std::byte>& original, const MemoryFile& file, const MultiStreamCase& c,
                        const std::string& where)
{
    ScratchDir scratch;
    const auto asText = [](const std::vector<std::byte>& bytes) { return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()); };
    writeFileBytes(scratch.path() / "before.cfb", asText(original));
    writeFileBytes(scratch.path() / "after.cfb", asText(file.bytes()));
    const auto verdict = olefileCompare(scratch.path() / "before.cfb", scratch.path() / "after.cfb");
    ASSERT_FALSE(verdict.is_null()) << where;
    EXPECT_TRUE(verdict["new_opens"].get<bool>()) << where << " " << verdict.dump();
    std::set<std::string> targets, touched;
    for (const CfbStreamSpec& target : c.targets) {
        std::string name;
        for (const char16_t unit : target.name) name += char(unit);
        targets.insert(name);
    }
    for (const char* list : {"changed", "added"})
        for (const auto& name : verdict[list]) touched.insert(name.get<std::string>());
    EXPECT_TRUE(touched.empty() || touched == targets) << where << " " << verdict.dump();
    EXPECT_TRUE(verdict["missing"].empty()) << where << " " << verdict.dump();
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

TEST(CfbMultiStreamWrite, AnySubsetOfTheWritesOfAnEpochLeavesAllTargetsOldOrAllNew)
{
    int crashes = 0;
    for (const MultiStreamCase& c : multiStreamCases()) {
        const std::vector<std::byte> original = buildCompoundFile(c.layout);
        MemoryFile pristine(original);
        const auto before = readRootStreams(pristine);
        ASSERT_TRUE(before) << c.label;
        MemoryFile recorded(original);
        RecordingFile recorder(recorded);
        Failure fault;
        ASSERT_TRUE(applyMultiStreamWrite(recorder, c, &fault)) << c.label << ": " << fault.text();
        EXPECT_EQ(outcomeOf(*before, recorded, c, c.label), Outcome::New);
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
                outcomeOf(*before, crashed, c, c.label + " epoch " + std::to_string(e) + " kept " + std::to_string(mask));
                ++crashes;
            }
            for (const auto& [offset, data] : epochs[e]) durable.writeAt(offset, data);
        }
    }
    EXPECT_GT(crashes, 200);
}

// Replaying the writes in order, the targets turn new at one write, alone in its epoch: the
// directory sector that holds every changed entry, or the header that names the directory's copy.
TEST(CfbMultiStreamWrite, TheSwitchIsOneWrite)
{
    for (const MultiStreamCase& c : multiStreamCases()) {
        const std::vector<std::byte> original = buildCompoundFile(c.layout);
        MemoryFile pristine(original);
        const auto before = readRootStreams(pristine);
        ASSERT_TRUE(before) << c.label;
        MemoryFile recorded(original);
        RecordingFile recorder(recorded);
        Failure fault;
        ASSERT_TRUE(applyMultiStreamWrite(recorder, c, &fault)) << c.label << ": " << fault.text();
        MemoryFile replayed(original);
        std::optional<std::pair<std::size_t, std::size_t>> switchAt;  // epoch, write
        for (std::size_t e = 0; e < recorder.epochs_.size(); ++e) {
            for (std::size_t w = 0; w < recorder.epochs_[e].size(); ++w) {
                replayed.writeAt(recorder.epochs_[e][w].first, recorder.epochs_[e][w].second);
                const Outcome outcome = outcomeOf(*before, replayed, c, c.label + " write " + std::to_string(w));
                if (outcome == Outcome::New && !switchAt) switchAt = std::pair{e, w};
                EXPECT_TRUE(outcome == (switchAt ? Outcome::New : Outcome::Old)) << c.label << ": old again after the switch";
            }
        }
        ASSERT_TRUE(switchAt) << c.label;
        const auto& epoch = recorder.epochs_[switchAt->first];
        EXPECT_EQ(epoch.size(), 1u) << c.label << ": the switch shares its epoch";
        const auto& [offset, bytes] = epoch[switchAt->second];
        const std::size_t sectorSize = c.layout.majorVersion == 4 ? 4096 : 512;
        if (c.expectedSwitch == Switch::Header) {
            EXPECT_TRUE(offset == 0 && bytes.size() == 512) << c.label;
            continue;
        }
        // A whole sector of the original directory, which the builder lays out in consecutive
        // sectors from the header's firstDirSector.
        const std::size_t firstDirOffset = (std::size_t(readU32(original, 0x30)) + 1) * sectorSize;
        const std::size_t dirBytes = (c.layout.streams.size() + 1) * 128;
        EXPECT_TRUE(offset % sectorSize == 0 && bytes.size() == sectorSize && offset >= firstDirOffset &&
                    offset < firstDirOffset + dirBytes)
            << c.label << ": the switch is not one sector of the directory";
    }
}

TEST(CfbMultiStreamWrite, EveryCutAndEveryFailingCallLeavesAllTargetsOldOrAllNew)
{
    for (const MultiStreamCase& c : multiStreamCases()) {
        const std::vector<std::byte> original = buildCompoundFile(c.layout);
        MemoryFile pristine(original);
        const auto before = readRootStreams(pristine);
        ASSERT_TRUE(before) << c.label;
        for (const auto mode : {FaultyFile::Mode::CutAfter, FaultyFile::Mode::FailOne}) {
            bool switched = false;
            for (int at = mode == FaultyFile::Mode::CutAfter ? 0 : 1;; ++at) {
                MemoryFile file(original);
                FaultyFile faulty(file, mode, at);
                Failure fault;
                const bool written = applyMultiStreamWrite(faulty, c, &fault);
                const std::string where = c.label + (mode == FaultyFile::Mode::CutAfter ? " cut after " : " failing call ") +
                                          std::to_string(at);
                EXPECT_EQ(written, !faulty.triggered()) << where;
                const Outcome outcome = outcomeOf(*before, file, c, where);
                EXPECT_TRUE(outcome == Outcome::New || !written) << where;
                // A failure before the switch puts every byte back, the length included; one at or
                // after it leaves the new streams, and so does every later one.
                if (mode == FaultyFile::Mode::FailOne && outcome == Outcome::Old) {
                    EXPECT_FALSE(switched) << where << ": old after a failure that left them new";
                    EXPECT_TRUE(file.bytes().size() == original.size() &&
                                std::memcmp(file.bytes().data(), original.data(), original.size()) == 0)
                        << where << ": not put back byte for byte";
                }
                switched = switched || outcome == Outcome::New;
                if (c.expectedSwitch == Switch::Header && mode == FaultyFile::Mode::CutAfter)
                    expectOlefileOpens(original, file, c, where);
                if (!faulty.triggered()) break;
            }
        }
    }
}

}  // namespace
}  // namespace quorvane::testing
