// SPDX-License-Identifier: Apache-2.0
// The 512-byte compound-file header ([MS-CFB] 2.2) and the special sector numbers of 2.1.
// Fields keep the format document's names. The raw bytes are kept alongside the parsed
// fields so that a write changes only the fields it means to change.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "base/failure.h"

namespace quorvane::cfb {

inline constexpr std::uint32_t kMaxRegSect = 0xFFFFFFFA;
inline constexpr std::uint32_t kDifSect = 0xFFFFFFFC;
inline constexpr std::uint32_t kFatSect = 0xFFFFFFFD;
inline constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
inline constexpr std::uint32_t kFreeSect = 0xFFFFFFFF;
inline constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

inline constexpr std::size_t kHeaderSize = 512;
inline constexpr std::size_t kHeaderDifatSlots = 109;
inline constexpr std::uint32_t kMiniSectorSize = 64;
inline constexpr std::uint32_t kMiniStreamCutoff = 4096;

struct Header {
    std::uint16_t minorVersion = 0x3E;
    std::uint16_t majorVersion = 3;
    std::uint16_t sectorShift = 9;
    std::uint16_t miniSectorShift = 6;
    std::uint32_t numDirSectors = 0;
    std::uint32_t numFatSectors = 0;
    std::uint32_t firstDirSector = kEndOfChain;
    std::uint32_t transactionSignature = 0;
    std::uint32_t miniStreamCutoff = kMiniStreamCutoff;
    std::uint32_t firstMiniFatSector = kEndOfChain;
    std::uint32_t numMiniFatSectors = 0;
    std::uint32_t firstDifatSector = kEndOfChain;
    std::uint32_t numDifatSectors = 0;
    std::array<std::uint32_t, kHeaderDifatSlots> difat{};

    std::uint32_t sectorSize() const { return 1u << sectorShift; }
    // Entries of a FAT or MiniFAT sector; a DIFAT sector holds one less plus its "next" link.
    std::uint32_t entriesPerSector() const { return sectorSize() / 4; }
    // File offset of regular sector `sectorId`; the header occupies "sector -1".
    std::uint64_t offsetOf(std::uint32_t sectorId) const { return (std::uint64_t(sectorId) + 1) << sectorShift; }
};

// The failure of a file whose bytes break [MS-CFB]: "damaged compound file: <what>".
Failure damagedCompoundFile(std::string_view what);

// Parses the first 512 bytes of a file. A damaged-compound-file failure naming the field when
// the signature, byte order, version/shift pair, mini sector shift or cutoff break [MS-CFB]
// 2.2: anything else would make our sector arithmetic meaningless. Lenient where readers are:
// minor version, CLSID, reserved bytes, transaction signature and a non-zero v3 directory count
// are not checked.
Result<Header> parseHeader(std::span<const std::byte> first512);

// Writes the fields of `header` into a copy of the original 512 header bytes, leaving every
// byte that is not one of its fields (signature, CLSID, reserved) as it was.
void storeHeader(const Header& header, std::span<std::byte, kHeaderSize> raw);

}  // namespace quorvane::cfb
