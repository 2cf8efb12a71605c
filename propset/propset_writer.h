// SPDX-License-Identifier: Apache-2.0
// Writing one property into a property-set stream while keeping every other byte
// ([MS-OLEPS] 2.20-2.21), and building a new one-section stream as the platform's
// property-set service creates it ([MS-OLEPS] 2.20-2.21 with the code page property of 2.18.2).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "base/failure.h"
#include "props/catalogue.h"

namespace quorvane::propset {

// TypedPropertyValue bytes ([MS-OLEPS] 2.15), each padded with zeros to a multiple of 4.
std::vector<std::byte> typedCodePageString(std::span<const std::byte> encodedText, std::uint16_t codePage);
std::vector<std::byte> typedUnicodeString(std::span<const std::byte> utf16le);
std::vector<std::byte> typedInt32(std::uint16_t type, std::int32_t value);
std::vector<std::byte> typedI2(std::int16_t value);
std::vector<std::byte> typedFiletime(std::uint64_t value);
std::vector<std::byte> typedNull();

// The stream with property `id` of its first section set to `typedValue`: an existing value
// is replaced in its place (a property the table lists more than once keeps its first listing,
// and the values of the others go as removeProperty takes them), a new one appended after the
// last value (zeros before it bring it to a multiple of 4). The table keeps its
// order, every other value, the dictionary, the bytes between and after values, the other
// sections (moved, not rewritten) and the stream's tail stay byte for byte. The new value is
// padded so that its length keeps the old one's remainder modulo 4, so later values keep
// their alignment. The failure, "damaged property set: ...", when the stream has no section or
// parseSoundPropertySet refuses it (propset_reader.h): a stream that damaged is not patched.
Result<std::vector<std::byte>> setProperty(std::span<const std::byte> stream, std::uint32_t id,
                                                  std::span<const std::byte> typedValue);

// The stream with code page `codePage` declared (property 1, VT_I2) as Office declares it: the
// first entry of the first section's table and its first value, so that a reader taking the
// table in order knows the page before any text. Every other value keeps its bytes and its
// phase modulo 4, the rest of the stream is kept as setProperty keeps it; a declared page is
// replaced in its place. setProperty's failure when it would refuse the stream.
Result<std::vector<std::byte>> declareCodePageFirst(std::span<const std::byte> stream, std::uint16_t codePage);

// The stream without property `id` of its first section: its table entries and their values
// go, zeros keeping each removed value's length modulo 4 stay in its place (so later values keep
// their alignment), and every other byte is kept as setProperty keeps it. A copy of the stream
// when the section does not hold the property; setProperty's failure when it would refuse the
// stream.
Result<std::vector<std::byte>> removeProperty(std::span<const std::byte> stream, std::uint32_t id);

// A new stream holding one section `fmtid`: class id = `fmtid`, code page 1200 (property 1)
// and the property `id` = `typedValue`.
std::vector<std::byte> newPropertySet(const props::Fmtid& fmtid, std::uint32_t id, std::span<const std::byte> typedValue);

}  // namespace quorvane::propset
