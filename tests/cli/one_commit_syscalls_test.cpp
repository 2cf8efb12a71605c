// SPDX-License-Identifier: Apache-2.0
// One commit per file, counted at the system calls (strace): a .ppt title change opens the file
// twice (the plan's read, the change) and renames nothing; a package scrub that removes the
// thumbnail and every custom property, and a set of a title with a custom property, rename one
// new archive over the file, once, having synced it once (after all of its metadata) and then
// its folder. A fault injected at any write of a .ppt change of both property sets (and of their
// second copies in a file that has them) leaves all old or all new.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "tests/cli/cli_fixture.h"
#include "tests/support/cfb_olefile.h"
#include "tests/support/document_reads.h"
#include "tests/support/dual_storage.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

class OneCommit : public Cli {
protected:
    void SetUp() override
    {
        if (std::system("command -v strace >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is not installed";
    }

    // The tool's system calls of `trace` (strace -e trace=...) while it runs `arguments`, each
    // descriptor followed by its path in <> (strace -y). The leak
    // checker of a sanitizer build cannot work under ptrace: it is off for these runs.
    std::string traced(const std::string& trace, const std::vector<std::string>& arguments, CliRun* result = nullptr)
    {
        const fs::path log = scratch_.path() / "strace.log";
        const CliRun run = this->run(arguments, [&](const std::string& command) {
            return "ASAN_OPTIONS=detect_leaks=0 strace -f -qq -y -o " + shellQuoted(log.string()) + " -e trace=" + trace + " " + command;
        });
        if (result) *result = run;
        EXPECT_EQ(run.status, 0) << run.err;
        return readFileBytes(log);
    }

    static int count(const std::string& text, const std::regex& pattern)
    {
        return int(std::distance(std::sregex_iterator(text.begin(), text.end(), pattern), std::sregex_iterator()));
    }
};

TEST_F(OneCommit, APptTitleChangeOpensTheFileTwice)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::string path = copyOf("bug61881.ppt");
    const std::string calls = traced("openat,open,rename,renameat,renameat2", {"set", "--title", "Counted", path});
    EXPECT_EQ(count(calls, std::regex("open(at)?\\(.*\"" + path + "\"")), 2) << calls;
    EXPECT_EQ(count(calls, std::regex("rename")), 0) << calls;
    EXPECT_EQ(documentRows(path).value()[0], "Counted");
}

TEST_F(OneCommit, APackageChangeOfRowsCustomPropertiesAndThumbnailRenamesOnce)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::vector<std::vector<std::string>> commands{{"scrub", "--thumbnail"},
                                                         {"set", "--title", "Counted", "--custom", "Counted=1"}};
    for (const auto& command : commands) {
        SCOPED_TRACE(command.front());
        const std::string path = copyOf("60810.pptx");
        ASSERT_FALSE(documentCustom(path).value().empty());
        std::vector<std::string> arguments = command;
        arguments.push_back(path);
        const std::string calls = traced("rename,renameat,renameat2", arguments);
        EXPECT_EQ(count(calls, std::regex("rename(at2?)?\\(.*\"" + path + "\"\\) = 0")), 1) << calls;
    }
}

// The new file is flushed once, after its mode, owner, extended attributes and times are set and
// before the rename, which commits them with its content; then the rename is flushed. A flush is
// an fsync of the file or of its folder, or the syncfs of a flush round (base/flush_group.h).
TEST_F(OneCommit, APackageChangeFlushesTheNewFileOnceAfterItsMetadataThenItsRename)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::string path = copyOf("60810.pptx");
    const std::string folder = fs::path(path).parent_path().string();
    const std::string calls = traced("fsync,fdatasync,syncfs,fchmod,fchown,fsetxattr,utimensat,rename,renameat,renameat2",
                                     {"set", "--title", "Counted", path});
    const std::string onNewFile = "\\(\\d+<" + folder + "/[^>]*>(\\(deleted\\))?";
    const std::regex flush("(f(data)?sync|syncfs)\\(\\d+<" + folder + "[/>]");
    EXPECT_EQ(count(calls, std::regex("(f(data)?sync|syncfs)\\(")), 2) << calls;
    std::smatch first;
    ASSERT_TRUE(std::regex_search(calls, first, flush)) << calls;
    EXPECT_TRUE(std::regex_search(first.prefix().str(), std::regex("utimensat" + onNewFile))) << calls;
    const std::string afterFirst = first.suffix().str();
    EXPECT_FALSE(std::regex_search(afterFirst, std::regex("(fchmod|fchown|fsetxattr|utimensat)" + onNewFile))) << calls;
    std::smatch rename;
    ASSERT_TRUE(std::regex_search(afterFirst, rename, std::regex("rename"))) << calls;
    EXPECT_TRUE(std::regex_search(rename.suffix().str(), flush)) << calls;
    EXPECT_EQ(documentRows(path).value()[0], "Counted");
}

// Both property sets of this file change, and in the file with a second copy of them
// (PP97_DUALSTORAGE) both copies: their directory entries lie in different directory sectors or
// not, the switch is one write. The write that fails with ENOSPC is each write of the change in
// turn; whatever write fails, the file holds the old title and the old company in every copy,
// byte for byte as it was, or the new ones in every copy with a failure that says the change is
// written.
TEST_F(OneCommit, AFaultAtAnyWriteOfAPptChangeLeavesEverySetOldOrNew)
{
    QUORVANE_REQUIRE_CORPUS();
    const std::vector<std::byte> dual = withDualStorage(corpusDir() / "files" / "bug61881.ppt");
    const fs::path dualPath = scratch_.path() / "dual.ppt";
    writeFileBytes(dualPath, std::string(reinterpret_cast<const char*>(dual.data()), dual.size()));
    for (const std::string& original : {copyOf("bug61881.ppt"), dualPath.string()}) {
        SCOPED_TRACE(original);
        const bool hasSecondCopy = original == dualPath.string();
        const props::RowTexts before = documentRows(original).value();
        // Title and company of the second copy as olefile reads them ("" when the file has none).
        const auto secondCopy = [&](const std::string& path) {
            if (!hasSecondCopy) return std::pair<std::string, std::string>();
            const nlohmann::json props = olefileCompare(original, path)["props"];
            return std::pair(props["PP97_DUALSTORAGE/SummaryInformation"].value("2", "?"),
                             props["PP97_DUALSTORAGE/DocumentSummaryInformation"].value("15", "?"));
        };
        const auto copyBefore = secondCopy(original);
        int writes = 0;
        for (int failing = 1;; ++failing) {
            SCOPED_TRACE(failing);
            const std::string path = (scratch_.path() / "faulted.ppt").string();
            fs::copy_file(original, path, fs::copy_options::overwrite_existing);
            const std::string inject = "pwrite64:error=ENOSPC:when=" + std::to_string(failing);
            const CliRun result = run({"set", "--title", "New title", "--company", "New company", path}, [&](const std::string& command) {
                return "ASAN_OPTIONS=detect_leaks=0 strace -f -qq -o /dev/null -e trace=pwrite64 -e inject=" + inject + " " + command;
            });
            const props::RowTexts after = documentRows(path).value();
            const auto copyAfter = secondCopy(path);
            const bool old = after[0] == before[0] && after[9] == before[9] && copyAfter == copyBefore;
            const bool changed = after[0] == "New title" && after[9] == "New company" &&
                                 (!hasSecondCopy || copyAfter == std::pair<std::string, std::string>("New title", "New company"));
            EXPECT_TRUE(old || changed) << "title '" << after[0] << "', company '" << after[9] << "', second copy '"
                                        << copyAfter.first << "', '" << copyAfter.second << "'";
            if (result.status == 0) break;
            if (changed) {
                // A write after the switch (clearing the old bytes) failed: the change stands, and says so.
                EXPECT_NE(result.err.find("the change is written, but"), std::string::npos) << result.err;
            } else {
                EXPECT_EQ(readFileBytes(path), readFileBytes(original)) << "a refused change leaves the file as it was";
            }
            writes = failing;
            ASSERT_LT(failing, 200) << "the change never succeeded";
        }
        EXPECT_GT(writes, 2) << "the change writes more than twice";
    }
}

}  // namespace
}  // namespace quorvane::testing
