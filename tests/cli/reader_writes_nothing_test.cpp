// SPDX-License-Identifier: Apache-2.0
// A read-only file keeps its mode and attribute word through a show and a change, also when the
// tool is killed in the middle of writing them: strace lets one system call that writes a mode,
// an extended attribute or a time (show), or one chmod of the file itself (a change of its
// hidden bit), go through and ends the tool with SIGKILL at the next. A show writes none of them
// at all, and, reading with O_NOATIME as the owner, leaves even the last-access time that
// relatime would move.
#include <gtest/gtest.h>

#include <filesystem>

#include "fileinfo/attribute_store.h"
#include "tests/cli/cli_fixture.h"
#include "tests/support/document_reads.h"
#include "tests/support/fileinfo_fixtures.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

// "?": no complaint on an architecture without one of them.
constexpr char kMetadataWrites[] = "?chmod,?fchmod,?fchmodat,?setxattr,?fsetxattr,?lsetxattr,?utimensat,?utime,?utimes,?futimesat";
constexpr char kChmodOfAPath[] = "?chmod,?fchmodat";

class ReaderWritesNothing : public Cli {
protected:
    void SetUp() override
    {
        if (std::system("command -v strace >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is not installed";
    }

    // A read-only, hidden copy whose last access lies before its last write, so that a read
    // without O_NOATIME moves it (relatime).
    std::string readOnlyCopy(const std::string& name)
    {
        const std::string path = copyOf(name);
        setAccessAndWriteTimes(path, {1'000'000'000, 1}, {1'100'000'000, 2});
        if (!fileinfo::writeAttributeWord(path, fileinfo::kReadOnly | fileinfo::kHidden)) return "";
        return path;
    }

    // Runs the tool under strace, which logs each of `calls` and kills the tool with SIGKILL at
    // the second one.
    CliRun killedAt(const std::string& calls, const std::vector<std::string>& arguments, std::string& log)
    {
        const fs::path logFile = scratch_.path() / "strace.log";
        const CliRun result = run(arguments, [&](const std::string& command) {
            return "ASAN_OPTIONS=detect_leaks=0 strace -f -qq -o " + shellQuoted(logFile.string()) + " -e trace=" + calls +
                   " -e inject=" + calls + ":signal=SIGKILL:when=2 " + command;
        });
        log = readFileBytes(logFile);
        return result;
    }
};

TEST_F(ReaderWritesNothing, ShowOfAReadOnlyFileWritesNoModeAttributeOrTime)
{
    QUORVANE_REQUIRE_CORPUS();
    for (const char* name : {"42474-1.ppt", "SmartArt.pptx"}) {
        SCOPED_TRACE(name);
        const std::string path = readOnlyCopy(name);
        if (path.empty()) GTEST_SKIP() << "the scratch folder keeps no user.* extended attributes";
        const FileTrace before = FileTrace::of(path);
        std::string log;
        const CliRun show = killedAt(kMetadataWrites, {"show", path}, log);
        EXPECT_EQ(show.status, 0) << show.err;
        EXPECT_EQ(log, "") << "no write of a mode, an extended attribute or a time";
        EXPECT_EQ(FileTrace::of(path), before) << "mode, word, creation time and both times as they were";
    }
}

TEST_F(ReaderWritesNothing, ChangeOfAReadOnlyFileNeverClearsReadOnly)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::string path = readOnlyCopy("42474-1.ppt");
    if (path.empty()) GTEST_SKIP() << "the scratch folder keeps no user.* extended attributes";
    std::string log;
    const CliRun change = killedAt(kChmodOfAPath, {"set", "--title", "Kept read-only", "--hidden", "off", path}, log);
    EXPECT_EQ(change.status, 0) << change.err << log;
    const FileTrace after = FileTrace::of(path);
    EXPECT_EQ(after.mode & 0222, 0u) << "no write bit";
    EXPECT_EQ(after.attributes, fileinfo::kReadOnly);
    EXPECT_EQ(documentRows(path).value()[0], "Kept read-only");
}

}  // namespace
}  // namespace quorvane::testing
