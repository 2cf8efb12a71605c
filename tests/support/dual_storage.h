// SPDX-License-Identifier: Apache-2.0
// Builds a .ppt as PowerPoint 97 saves one also for PowerPoint 95: a PP97_DUALSTORAGE storage
// below the root with a second copy of the property sets and of the Current User stream (no
// corpus file has one).
#pragma once

#include <cstddef>
#include <filesystem>
#include <vector>

namespace quorvane::testing {

// The bytes of a compound file with every root stream of the .ppt at `ppt` and a storage
// PP97_DUALSTORAGE holding copies of its SummaryInformation, DocumentSummaryInformation and
// Current User streams; when `damagedSummaryCopy`, the copy of SummaryInformation has a broken
// header (its byte-order mark). Empty when `ppt` cannot be read.
std::vector<std::byte> withDualStorage(const std::filesystem::path& ppt, bool damagedSummaryCopy = false);

}  // namespace quorvane::testing
