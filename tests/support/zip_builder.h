// SPDX-License-Identifier: Apache-2.0
// Builds ZIP archives in memory for tests, with the shapes real writers produce and the damage
// the reader must survive: stored or deflated entries, data descriptors, extra fields and
// comments, ZIP64 records, bytes before the first entry, and sizes or CRCs that lie.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorvane::testing {

struct ZipBuilderEntry {
    std::string name;
    std::string content;
    bool deflate = true;
    bool dataDescriptor = false;       // sizes and CRC zero in the local header, given after the data
    std::string localExtra{};          // whole extra blocks (id, size, data)
    std::string centralExtra{};
    std::string comment{};
    std::optional<std::uint32_t> statedSize{};  // uncompressed size the records claim (zip bomb)
    std::optional<std::uint32_t> statedCrc{};  // CRC the records claim
};

struct ZipBuildOptions {
    bool zip64 = false;    // every size and offset in ZIP64 fields, with ZIP64 end records
    std::string comment{}; // archive comment
    std::string prefix{};  // bytes before the first entry (offsets count them, as in a stub)
    // Stored empty entries added after the given ones, named by their number in 16 hex digits:
    // a directory packed with entries, made without a builder entry for each.
    std::size_t emptyEntries = 0;
};

std::string buildZip(const std::vector<ZipBuilderEntry>& entries, const ZipBuildOptions& options = {});

// The raw deflate data of `content` at level 9 (not the level the program writes, on purpose).
std::string deflateRaw(const std::string& content);

// Bytes of a text and text of bytes, for moving between the builder and the byte-based core.
std::vector<std::byte> bytesOf(const std::string& text);
std::string textOf(std::span<const std::byte> bytes);

// An extra block with id `id` and `data`.
std::string extraBlock(std::uint16_t id, const std::string& data);

}  // namespace quorvane::testing
