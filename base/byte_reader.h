// SPDX-License-Identifier: Apache-2.0
// Bounds-checked little-endian reader over untrusted bytes. Every parse of file data goes
// through it. The failure flag is sticky: once a read would overrun, ok() is false and every
// later read yields 0 or an empty span, so a parser can read a whole record and test once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace quorvane {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::byte> bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    std::size_t position() const { return position_; }
    std::size_t remaining() const { return ok_ ? bytes_.size() - position_ : 0; }

    std::uint8_t u8() { return static_cast<std::uint8_t>(little(1)); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(little(2)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(little(4)); }
    std::uint64_t u64() { return little(8); }

    // The next `count` bytes, or an empty span (and ok() false) when fewer remain.
    std::span<const std::byte> bytes(std::size_t count)
    {
        if (!take(count)) return {};
        return bytes_.subspan(position_ - count, count);
    }

    void skip(std::size_t count) { take(count); }

    // Moves to an absolute offset; past the end fails.
    void seek(std::size_t offset)
    {
        if (!ok_ || offset > bytes_.size()) {
            ok_ = false;
            return;
        }
        position_ = offset;
    }

private:
    bool take(std::size_t count)
    {
        if (!ok_ || count > bytes_.size() - position_) {
            ok_ = false;
            return false;
        }
        position_ += count;
        return true;
    }

    std::uint64_t little(std::size_t width)
    {
        if (!take(width)) return 0;
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < width; ++i)
            value |= std::uint64_t(std::to_integer<std::uint8_t>(bytes_[position_ - width + i])) << (8 * i);
        return value;
    }

    std::span<const std::byte> bytes_;
    std::size_t position_ = 0;
    bool ok_ = true;
};

}  // namespace quorvane
