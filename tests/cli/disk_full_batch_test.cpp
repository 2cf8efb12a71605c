// SPDX-License-Identifier: Apache-2.0
// A batch whose files share their flushes on a device that fills in the middle of it: every
// file is all old or all new, a file is reported changed exactly when it holds the new values,
// the others fail with the device's reason, and no temporary file stays.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "tests/support/corpus.h"
#include "tests/support/document_reads.h"
#include "tests/support/fileinfo_fixtures.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kFilesPerFormat = 20;
const std::string kNewTitle(3000, 'T');  // grows the .ppt's property set: new sectors to write

// The combined standard output and error of a shell command; its lines.
std::string outputOf(const std::string& command)
{
    std::string output;
    if (FILE* pipe = ::popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        while (const std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, read);
        ::pclose(pipe);
    }
    return output;
}

// Checks the files after the batch; "" when every file is whole and reported as it stands.
std::string checkFiles(const fs::path& folder, const std::vector<fs::path>& files, const std::string& output)
{
    std::ostringstream problems;
    int changed = 0, failed = 0;
    for (const fs::path& file : files) {
        const auto rows = documentRowsOrFailure(file.string());
        if (!rows.ok()) {
            problems << file.filename() << " cannot be read: " << rows.failure().text() << "; ";
            continue;
        }
        const bool isNew = (*rows)[0] == kNewTitle;
        const bool reportedChanged = output.find(file.string() + ": changed\n") != std::string::npos;
        const bool reportedNoSpace =
            output.find(file.string() + ": failed: no space left on the device") != std::string::npos;
        if (isNew != reportedChanged || isNew == reportedNoSpace)
            problems << file.filename() << (isNew ? " is new" : " is old") << " but reported otherwise; ";
        (isNew ? changed : failed) += 1;
    }
    if (changed == 0 || failed == 0)
        problems << changed << " changed and " << failed << " failed: the device did not fill in the middle; ";
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().find(".quorvane-") != std::string::npos)
            problems << "a temporary file stays: " << entry.path().filename() << "; ";
    return problems.str();
}

TEST(DiskFullBatch, TheFilesThatDidNotFitFailWithTheReasonAndNoneIsTorn)
{
    QUORVANE_REQUIRE_CORPUS();
    const auto outcome = runOnPrivateMount("tmpfs", "size=1024k", [](const fs::path& folder) -> std::string {
        std::vector<fs::path> files;
        for (int index = 0; index < kFilesPerFormat; ++index)
            for (const char* source : {"Single_Coloured_Page.ppt", "60042.pptx"}) {
                const fs::path file = folder / ("deck" + std::to_string(index) + fs::path(source).extension().string());
                std::error_code error;
                if (!fs::copy_file(corpusDir() / "files" / source, file, error)) return "the copy failed: " + error.message();
                fs::permissions(file, fs::perms::owner_write, fs::perm_options::add, error);
                files.push_back(file);
            }
        std::string command = "LC_ALL=C " QUORVANE_BINARY_DIR "/cli/quorvane-cli set --title " + kNewTitle;
        for (const fs::path& file : files) command += " " + file.string();
        return checkFiles(folder, files, outputOf(command));
    });
    if (!outcome) GTEST_SKIP() << "a private mount namespace with a tmpfs is not permitted here";
    EXPECT_EQ(*outcome, "");
}

}  // namespace
}  // namespace quorvane::testing
