// The deflate codec of ZIP entries (RFC 1951 raw deflate through zlib) and their CRC-32.
// Inflation is bounded: it never produces more than the size the caller expects.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "base/random_access_file.h"

namespace quorvane::zip {

// Inflates the `compressedSize` bytes of raw deflate data at `offset` of `file`, read in pieces.
// Gives exactly `expectedSize` bytes, or nullopt when the data is damaged, ends early, would
// inflate to more than `expectedSize` bytes, or a read fails. The caller bounds `expectedSize`.
std::optional<std::vector<std::byte>> inflateEntryData(RandomAccessFile& file, std::uint64_t offset,
                                                       std::uint64_t compressedSize, std::size_t expectedSize);

// The raw deflate data of `data` at compression level 6; nullopt only when zlib fails.
std::optional<std::vector<std::byte>> deflateAtLevel6(std::span<const std::byte> data);

std::uint32_t crc32Of(std::span<const std::byte> data);

}  // namespace quorvane::zip
