// SPDX-License-Identifier: Apache-2.0
// Runs a fuzz target over every file of the folders (or files) named on the command line, the
// way libFuzzer replays a corpus, so the checked-in inputs are tests of every build. Fails when
// an input takes longer than a second.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool replay(const std::filesystem::path& input)
{
    std::ifstream in(input, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto start = std::chrono::steady_clock::now();
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    const auto elapsed = std::chrono::steady_clock::now() - start;
    if (elapsed > std::chrono::seconds(1)) {
        std::fprintf(stderr, "too slow: %s\n", input.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    int replayed = 0;
    bool allInTime = true;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path root = argv[i];
        std::error_code error;
        if (std::filesystem::is_regular_file(root, error)) {
            allInTime &= replay(root);
            ++replayed;
            continue;
        }
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root, error))
            if (entry.is_regular_file() && entry.path().filename() != "README") {
                allInTime &= replay(entry.path());
                ++replayed;
            }
    }
    std::printf("replayed %d inputs\n", replayed);
    return allInTime ? 0 : 1;
}
