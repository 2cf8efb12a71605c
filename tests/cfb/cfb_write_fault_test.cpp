// SPDX-License-Identifier: Apache-2.0
// Interrupted and failing stream writes: for every write case the sequence is cut after each
// single mutating call (as a crash right there would leave the file), and each call is made to
// fail in turn. Every time the file must still open, pass the allocation check, hold the old
// or the new stream, and hold every other stream unchanged; a failing call that leaves the old
// stream (one before the switch) leaves the file byte for byte as it was, its length included.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/cfb_streams.h"
#include "tests/support/cfb_olefile.h"
#include "tests/support/corpus.h"
#include "tests/support/cfb_write_cases.h"
#include "tests/support/faulty_file.h"

namespace quorvane::testing {
namespace {

struct FaultRun {
    int calls = 0;       // mutating calls of the uninterrupted sequence
    int interrupted = 0; // runs in which the fault point was reached
};

std::string asText(const std::vector<std::byte>& bytes)
{
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// olefile must open the interrupted file too, with no stream but the target changed.
void expectOlefileAgrees(const std::vector<std::byte>& original, const MemoryFile& file, const std::string& where)
{
    ScratchDir scratch;
    writeFileBytes(scratch.path() / "before.cfb", asText(original));
    writeFileBytes(scratch.path() / "after.cfb", asText(file.bytes()));
    const auto verdict = olefileCompare(scratch.path() / "before.cfb", scratch.path() / "after.cfb");
    ASSERT_FALSE(verdict.is_null());
    EXPECT_TRUE(verdict["new_opens"].get<bool>()) << where << " " << verdict.dump();
    EXPECT_LE(verdict["changed"].size() + verdict["added"].size(), 1u) << where << " " << verdict.dump();
    EXPECT_TRUE(verdict["missing"].empty()) << where;
}

FaultRun runWithFaults(const CfbWriteCase& c, FaultyFile::Mode mode, bool withOlefile = false)
{
    const std::vector<std::byte> original = buildCompoundFile(c.layout);
    MemoryFile pristine(original);
    const auto before = readRootStreams(pristine);
    EXPECT_TRUE(before) << c.label;
    if (!before) return {};
    FaultRun run;
    bool switched = false;
    for (int at = mode == FaultyFile::Mode::CutAfter ? 0 : 1;; ++at) {
        MemoryFile file(original);
        FaultyFile faulty(file, mode, at);
        Failure fault;
        const bool written = applyCfbWrite(faulty, c, &fault);
        const auto after = readRootStreams(file);
        const std::string where = c.label + (mode == FaultyFile::Mode::CutAfter ? " cut after " : " failing call ") +
                                  std::to_string(at);
        if (!after) {
            ADD_FAILURE() << where << ": the file no longer opens or fails its allocation check";
            break;
        }
        EXPECT_EQ(written, !faulty.triggered()) << where;
        // The refused call's errno (ENOSPC) is the reason the engine reports.
        EXPECT_EQ(fault.kind(), written ? FailureKind::None : FailureKind::NoSpace) << where << ": " << fault.text();
        const auto target = after->find(c.target);
        const bool isNew = target != after->end() && target->second == c.newData;
        const bool isOld = c.create ? target == after->end() : target != after->end() && target->second == before->at(c.target);
        EXPECT_TRUE(isNew || isOld) << where << ": the stream is neither old nor new";
        if (written) {
            EXPECT_TRUE(isNew) << where;
        }
        if (mode == FaultyFile::Mode::FailOne && !isNew) {
            EXPECT_FALSE(switched) << where << ": old after a failure that left it new";
            // memcmp: a debug build compares std::byte vectors a byte at a time, slow on the 15 MB file.
            EXPECT_TRUE(file.bytes().size() == original.size() &&
                        std::memcmp(file.bytes().data(), original.data(), original.size()) == 0)
                << where << ": not put back byte for byte";
        }
        switched = switched || isNew;
        for (const auto& [name, bytes] : *before) {
            if (name == c.target) continue;
            const auto other = after->find(name);
            EXPECT_TRUE(other != after->end() && other->second == bytes) << where << ": " << printableName(name);
        }
        if (withOlefile) expectOlefileAgrees(original, file, where);
        if (!faulty.triggered()) {
            run.calls = faulty.mutatingCalls();
            break;
        }
        ++run.interrupted;
    }
    return run;
}

TEST(CfbWriteFault, CutAfterEveryWriteCallLeavesOldOrNewStream)
{
    for (const CfbWriteCase& c : cfbWriteCases()) {
        const FaultRun run = runWithFaults(c, FaultyFile::Mode::CutAfter);
        // Phases: data, tables, sync ... switch, sync: never fewer than four calls.
        EXPECT_GE(run.calls, 4) << c.label;
        EXPECT_EQ(run.interrupted, run.calls) << c.label;
    }
}

// The cases whose writes lengthen chains and add sectors, the riskiest for other readers.
TEST(CfbWriteFault, OlefileOpensTheFileAfterEveryCut)
{
    for (const CfbWriteCase& c : cfbWriteCases()) {
        if (c.label == "v3_MiniFatGrows" || c.label == "v3_CreateNeedsDirectorySector" || c.label == "v4_MiniToRegular")
            runWithFaults(c, FaultyFile::Mode::CutAfter, true);
    }
}

// The write that adds a FAT sector and the second DIFAT sector (its link in the first one and
// the header counts are separate writes); failing, it must also cut the appended sectors off.
TEST(CfbWriteFault, CutAfterAndFailingEveryCallWhileTheDifatGrows)
{
    CfbWriteCase c{"FullFat236", {}, u"\x05SummaryInformation", patternBytes(9000, 3)};
    c.layout.streams = {{u"\x05SummaryInformation", patternBytes(300, 1)}};
    c.layout.fullFatSectors = 236;
    for (const auto mode : {FaultyFile::Mode::CutAfter, FaultyFile::Mode::FailOne}) {
        const FaultRun run = runWithFaults(c, mode);
        EXPECT_GE(run.calls, 6);
        EXPECT_EQ(run.interrupted, run.calls);
    }
}

TEST(CfbWriteFault, FailingEachCallInTurnLeavesOldOrNewStream)
{
    for (const CfbWriteCase& c : cfbWriteCases()) {
        const FaultRun run = runWithFaults(c, FaultyFile::Mode::FailOne);
        EXPECT_EQ(run.interrupted, run.calls) << c.label;
    }
}

}  // namespace
}  // namespace quorvane::testing
