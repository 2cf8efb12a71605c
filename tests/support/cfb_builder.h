// SPDX-License-Identifier: Apache-2.0
// Builds small compound files in memory for tests, independently of the engine under test:
// a fixed layout (FAT sectors, DIFAT sectors, directory, MiniFAT, mini stream, then each
// regular stream in consecutive sectors) and, in each storage, a sibling tree kept as a sorted
// right-leaning list, all entries black (the shape libgsf writes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorvane::testing {

struct CfbStreamSpec {
    std::u16string name;
    std::vector<std::byte> data;
};

// A storage below the root and its streams.
struct CfbStorageSpec {
    std::u16string name;
    std::vector<CfbStreamSpec> streams;
};

struct CfbLayout {
    int majorVersion = 3;
    std::vector<CfbStreamSpec> streams;  // children of the root storage
    std::vector<CfbStorageSpec> storages;  // children of the root storage too
    // When non-zero: a stream "Filler" is added whose sectors use up every entry of exactly
    // this many FAT sectors, so that the next allocated sector needs a new FAT sector.
    std::uint32_t fullFatSectors = 0;
};

std::vector<std::byte> buildCompoundFile(const CfbLayout& layout);

// Deterministic bytes for stream contents.
std::vector<std::byte> patternBytes(std::size_t size, unsigned seed);

// Little-endian field access for tests that corrupt built files.
std::uint32_t readU32(const std::vector<std::byte>& bytes, std::size_t offset);
void writeU32(std::vector<std::byte>& bytes, std::size_t offset, std::uint32_t value);

}  // namespace quorvane::testing
