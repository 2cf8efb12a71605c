// SPDX-License-Identifier: Apache-2.0
// Reads back every stream of the root storage of a compound file through the engine, after
// the engine's own allocation check, for tests that compare files before and after a write.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/random_access_file.h"

namespace quorvane::testing {

using StreamMap = std::map<std::u16string, std::vector<std::byte>>;

// The streams of the root storage by name, or nullopt when the file does not open, fails the
// allocation check, or a stream cannot be read.
std::optional<StreamMap> readRootStreams(RandomAccessFile& file);

// A stream name as printable text ("\x05" written as "\\x05"), for test messages.
std::string printableName(const std::u16string& name);

}  // namespace quorvane::testing
