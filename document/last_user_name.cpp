// SPDX-License-Identifier: Apache-2.0
#include "document/last_user_name.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "base/byte_reader.h"

namespace quorvane::document {
namespace {

// CurrentUserAtom ([MS-PPT] 2.3.2): an 8-byte record header (recVer/recInstance 0, recType
// RT_CurrentUserAtom, recLen), then `size` (0x14, the fixed part up to the name: size,
// headerToken, offsetToCurrentEdit, lenUserName, docFileVersion, majorVersion, minorVersion,
// unused), ansiUserName (lenUserName bytes), relVersion (4 bytes) and, when recLen leaves room,
// unicodeUserName (2 * lenUserName bytes).
constexpr std::uint16_t kRtCurrentUserAtom = 0x0FF6;
constexpr std::size_t kRecordHeaderSize = 8;
constexpr std::uint32_t kFixedPartSize = 0x14;
constexpr std::size_t kLenUserNameOffset = 20;
constexpr std::size_t kAnsiUserNameOffset = kRecordHeaderSize + kFixedPartSize;
constexpr std::size_t kRelVersionSize = 4;

void storeU16(std::vector<std::byte>& bytes, std::size_t offset, std::uint16_t value)
{
    bytes[offset] = std::byte(value & 0xFF);
    bytes[offset + 1] = std::byte(value >> 8);
}

void storeU32(std::vector<std::byte>& bytes, std::size_t offset, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = std::byte((value >> (8 * i)) & 0xFF);
}

// The fields of the atom's start that its readers use; nullopt when `stream` is shorter than
// the fixed part, or is another record, or its recLen runs past the stream.
struct AtomStart {
    std::uint32_t recordLength;
    std::uint32_t headerToken;
    std::uint16_t lenUserName;
};

std::optional<AtomStart> atomStartOf(std::span<const std::byte> stream)
{
    if (stream.size() < kAnsiUserNameOffset) return std::nullopt;
    ByteReader reader{stream};
    const std::uint16_t versionAndInstance = reader.u16();
    const std::uint16_t recordType = reader.u16();
    const std::uint32_t recordLength = reader.u32();
    const std::uint32_t size = reader.u32();
    const std::uint32_t headerToken = reader.u32();
    reader.seek(kLenUserNameOffset);
    const std::uint16_t lenUserName = reader.u16();
    if (versionAndInstance != 0 || recordType != kRtCurrentUserAtom || size != kFixedPartSize ||
        kRecordHeaderSize + std::uint64_t(recordLength) > stream.size())
        return std::nullopt;
    return AtomStart{recordLength, headerToken, lenUserName};
}

}  // namespace

std::optional<std::uint32_t> currentUserHeaderToken(std::span<const std::byte> stream)
{
    const auto start = atomStartOf(stream);
    return start ? std::optional(start->headerToken) : std::nullopt;
}

std::optional<std::vector<std::byte>> currentUserWithoutName(const std::vector<std::byte>& stream)
{
    const auto start = atomStartOf(stream);
    if (!start) return std::nullopt;
    const std::uint16_t nameLength = start->lenUserName;
    const std::uint32_t recordLength = start->recordLength;
    const std::uint64_t ansiEnd = kAnsiUserNameOffset + std::uint64_t(nameLength);
    if (ansiEnd + kRelVersionSize > stream.size()) return std::nullopt;
    const bool hasUnicodeName = kRecordHeaderSize + std::uint64_t(recordLength) > ansiEnd + kRelVersionSize;
    if (nameLength == 0 && !hasUnicodeName && stream.size() == ansiEnd + kRelVersionSize) return std::nullopt;
    std::vector<std::byte> emptied(stream.begin(), stream.begin() + std::ptrdiff_t(kAnsiUserNameOffset));
    emptied.insert(emptied.end(), stream.begin() + std::ptrdiff_t(ansiEnd), stream.begin() + std::ptrdiff_t(ansiEnd + kRelVersionSize));
    storeU16(emptied, kLenUserNameOffset, 0);
    storeU32(emptied, 4, kFixedPartSize + kRelVersionSize);
    return emptied;
}

}  // namespace quorvane::document
