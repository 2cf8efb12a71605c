// SPDX-License-Identifier: Apache-2.0
// The stream writes that the engine's write and fault tests run: each a small compound file,
// the stream to replace or create, and its new content.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/random_access_file.h"
#include "tests/support/cfb_builder.h"

namespace quorvane::testing {

struct CfbWriteCase {
    std::string label;
    CfbLayout layout;
    std::u16string target;
    std::vector<std::byte> newData;
    bool create = false;  // the target does not exist yet
};

std::vector<CfbWriteCase> cfbWriteCases();

// Opens `file` and replaces or creates the case's stream. True on success; else `failure` says why.
bool applyCfbWrite(RandomAccessFile& file, const CfbWriteCase& writeCase, Failure* failure);

// Subsets of `count` writes that a crash may keep, as bit masks over the first 64: every subset
// of up to 8 writes, else each write alone, all but each one, and a fixed random sample.
std::vector<std::uint64_t> keptWriteSubsets(std::size_t count);

}  // namespace quorvane::testing
