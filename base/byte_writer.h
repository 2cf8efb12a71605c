// SPDX-License-Identifier: Apache-2.0
// Little-endian writer that appends to a byte buffer; the mirror of ByteReader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quorvane {

class ByteWriter {
public:
    explicit ByteWriter(std::vector<std::byte>& out) : out_(out) {}

    void u8(std::uint8_t value) { little(value, 1); }
    void u16(std::uint16_t value) { little(value, 2); }
    void u32(std::uint32_t value) { little(value, 4); }
    void u64(std::uint64_t value) { little(value, 8); }
    void bytes(std::span<const std::byte> data) { out_.insert(out_.end(), data.begin(), data.end()); }
    void zeros(std::size_t count) { out_.insert(out_.end(), count, std::byte{0}); }

    // Pads with zero bytes up to the next multiple of `alignment`.
    void padTo(std::size_t alignment) { zeros((alignment - out_.size() % alignment) % alignment); }

    std::size_t size() const { return out_.size(); }

private:
    void little(std::uint64_t value, std::size_t width)
    {
        for (std::size_t i = 0; i < width; ++i) out_.push_back(std::byte(value >> (8 * i)));
    }

    std::vector<std::byte>& out_;
};

// Overwrites `width` bytes at `offset` of an existing buffer (for fields patched after the fact).
inline void patchLittle(std::span<std::byte> target, std::size_t offset, std::uint64_t value, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i) target[offset + i] = std::byte(value >> (8 * i));
}

}  // namespace quorvane
