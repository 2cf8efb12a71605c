// SPDX-License-Identifier: Apache-2.0
#include "tests/support/corpus.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace quorvane::testing {

namespace fs = std::filesystem;

fs::path corpusDir()
{
    const fs::path dir = QUORVANE_CORPUS_DIR;
    std::error_code error;
    return fs::is_directory(dir / "files", error) ? dir : fs::path();
}

std::vector<std::string> corpusFiles(const std::string& kind)
{
    std::vector<std::string> names;
    const fs::path dir = corpusDir();
    if (dir.empty()) return names;
    std::ifstream index(dir / "index.tsv");
    std::string line;
    std::getline(index, line);  // column titles
    while (std::getline(index, line)) {
        std::istringstream fields(line);
        std::string name, fileKind;
        std::getline(fields, name, '\t');
        std::getline(fields, fileKind, '\t');
        if (fileKind == kind) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

nlohmann::json oracleOf(const std::string& fileName)
{
    std::ifstream in(corpusDir() / "oracle" / (fileName + ".json"));
    return nlohmann::json::parse(in);
}

ScratchDir::ScratchDir()
{
    std::string pattern = (fs::temp_directory_path() / "quorvane-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a scratch folder");
    path_ = pattern;
}

ScratchDir::~ScratchDir()
{
    std::error_code error;
    // Files a test made read-only must not stop the clean-up.
    for (const auto& entry : fs::recursive_directory_iterator(path_, error))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(path_, error);
}

fs::path ScratchDir::copyOfCorpusFile(const std::string& fileName) const
{
    const fs::path copy = path_ / fileName;
    fs::copy_file(corpusDir() / "files" / fileName, copy, fs::copy_options::overwrite_existing);
    // The corpus is read-only; a copy is the test's own, to write into.
    fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                              fs::perms::others_read);
    return copy;
}

std::string readFileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFileBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

}  // namespace quorvane::testing
