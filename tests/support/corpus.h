// SPDX-License-Identifier: Apache-2.0
// Access to the shared corpus of real .ppt/.pptx files and the oracle of their properties,
// plus scratch folders for tests that write. Corpus files are never written: tests copy them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace quorvane::testing {

// The corpus folder (holding files/ and oracle/), or an empty path when it is not present.
std::filesystem::path corpusDir();

// Skips the calling test when the corpus is not present on this machine.
#define QUORVANE_REQUIRE_CORPUS()                                                  \
    do {                                                                           \
        if (::quorvane::testing::corpusDir().empty()) GTEST_SKIP() << "no corpus"; \
    } while (false)

// Names of the corpus files of one kind ("cfb", "zip" or "other"), sorted.
std::vector<std::string> corpusFiles(const std::string& kind);

// The oracle record of a corpus file (oracle/NAME.json).
nlohmann::json oracleOf(const std::string& fileName);

// A fresh empty folder under the system's temporary folder, removed with its contents when
// the object goes out of scope.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Copies a corpus file into this folder (keeping its name, mode 0644) and returns its path.
    std::filesystem::path copyOfCorpusFile(const std::string& fileName) const;

private:
    std::filesystem::path path_;
};

// The whole content of a file; empty when it cannot be read.
std::string readFileBytes(const std::filesystem::path& path);
// Writes `bytes` as the whole content of `path`; fails the calling test on error.
void writeFileBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace quorvane::testing
