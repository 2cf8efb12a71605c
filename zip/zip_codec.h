// SPDX-License-Identifier: Apache-2.0
// The deflate codec of ZIP entries (RFC 1951 raw deflate through zlib) and their CRC-32.
// Inflation is bounded: it never produces more than the size the caller expects.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "base/failure.h"
#include "base/random_access_file.h"

namespace quorvane::zip {

// Inflates the `compressedSize` bytes of raw deflate data at `offset` of `file`, read in pieces.
// Gives exactly `expectedSize` bytes. Fails with "damaged ZIP archive: the deflated data of
// <entryName> <what>" when the data is
// damaged, ends early, or inflates to more or fewer than `expectedSize` bytes, and with the
// system's reason when a read is refused. The caller bounds `expectedSize`.
Result<std::vector<std::byte>> inflateEntryData(RandomAccessFile& file, std::uint64_t offset,
                                                std::uint64_t compressedSize, std::size_t expectedSize,
                                                std::string_view entryName);

// The raw deflate data of `data` at compression level 6; nullopt only when zlib fails.
std::optional<std::vector<std::byte>> deflateAtLevel6(std::span<const std::byte> data);

std::uint32_t crc32Of(std::span<const std::byte> data);

}  // namespace quorvane::zip
