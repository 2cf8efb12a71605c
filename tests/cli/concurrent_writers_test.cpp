// SPDX-License-Identifier: Apache-2.0
// Two processes writing into one file at once: two quorvane-cli set loops of 200 rounds each on
// the same .ppt and the same .pptx. Every write lands whole or is refused (the file is locked by
// the other writer); the file is never damaged.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "document/document_format.h"
#include "tests/support/document_reads.h"
#include "tests/support/cfb_streams.h"
#include "tests/support/corpus.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kRounds = 200;

// A shell loop that writes "<tag> <round>" as the title `kRounds` times and counts the writes
// that were refused into `<tag>.refused`.
std::string writerLoop(const fs::path& file, const std::string& tag, const fs::path& folder)
{
    const std::string cli = QUORVANE_BINARY_DIR "/cli/quorvane-cli";
    const fs::path refused = folder / (tag + ".refused");
    return "( n=0; for i in $(seq " + std::to_string(kRounds) + "); do '" + cli + "' set --title \"" + tag +
           " $i\" '" + file.string() + "' >/dev/null 2>&1 || n=$((n+1)); done; echo $n > '" + refused.string() +
           "' ) &";
}

TEST(ConcurrentWriters, TwoProcessesNeverDamageTheFile)
{
    QUORVANE_REQUIRE_CORPUS();
    ScratchDir scratch;
    for (const char* name : {"42474-1.ppt", "SmartArt.pptx"}) {
        const fs::path file = scratch.copyOfCorpusFile(name);
        const props::RowTexts before = testing::documentRows(file.string()).value();
        const fs::path script = scratch.path() / "writers.sh";
        writeFileBytes(script, writerLoop(file, "A", scratch.path()) + "\n" + writerLoop(file, "B", scratch.path()) +
                                   "\nwait\n");
        const int raw = std::system(("bash '" + script.string() + "'").c_str());
        ASSERT_TRUE(WIFEXITED(raw)) << name;

        const auto after = testing::documentRows(file.string());
        ASSERT_TRUE(after) << name << " no longer reads";
        // The title is one of the values written, complete; every other row is as it was.
        const std::string& title = (*after)[0];
        const bool oneOfTheWritten = (title.starts_with("A ") || title.starts_with("B ")) &&
                                     std::stoi(title.substr(2)) >= 1 && std::stoi(title.substr(2)) <= kRounds;
        EXPECT_TRUE(oneOfTheWritten) << name << ": " << title;
        for (int row = 1; row < props::kRowCount; ++row) EXPECT_EQ((*after)[std::size_t(row)], before[std::size_t(row)]) << name;
        if (document::documentFormatOf(file.string()) != document::DocumentFormat::Package) {
            auto opened = PosixFile::open(file.string(), OpenMode::ReadShared);
            ASSERT_TRUE(opened);
            EXPECT_TRUE(readRootStreams(*opened)) << name << ": a stream no longer reads";
        }
        const int refusedA = std::stoi(readFileBytes(scratch.path() / "A.refused"));
        const int refusedB = std::stoi(readFileBytes(scratch.path() / "B.refused"));
        // Some writes may be refused while the other process holds the lock, never all of them.
        EXPECT_LT(refusedA + refusedB, 2 * kRounds) << name;
        std::printf("%s: %d of %d writes refused while the other writer held the file\n", name, refusedA + refusedB,
                    2 * kRounds);
    }
}

}  // namespace
}  // namespace quorvane::testing
