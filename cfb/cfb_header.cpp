// SPDX-License-Identifier: Apache-2.0
#include "cfb/cfb_header.h"

#include <string>

#include "base/byte_reader.h"
#include "cfb/cfb_layout.h"

namespace quorvane::cfb {

Failure damagedCompoundFile(std::string_view what) { return damaged("compound file: " + std::string(what)); }

Result<Header> parseHeader(std::span<const std::byte> first512)
{
    namespace field = header_field;
    if (first512.size() < kHeaderSize) return damagedCompoundFile("shorter than its 512-byte header");
    ByteReader r(first512.first(kHeaderSize));
    if (readField(r, field::kSignature) != kHeaderSignature) return damagedCompoundFile("bad header signature");
    Header h;
    h.minorVersion = std::uint16_t(readField(r, field::kMinorVersion));
    h.majorVersion = std::uint16_t(readField(r, field::kMajorVersion));
    const auto byteOrder = std::uint16_t(readField(r, field::kByteOrder));
    h.sectorShift = std::uint16_t(readField(r, field::kSectorShift));
    h.miniSectorShift = std::uint16_t(readField(r, field::kMiniSectorShift));
    h.numDirSectors = std::uint32_t(readField(r, field::kNumDirSectors));
    h.numFatSectors = std::uint32_t(readField(r, field::kNumFatSectors));
    h.firstDirSector = std::uint32_t(readField(r, field::kFirstDirSector));
    h.transactionSignature = std::uint32_t(readField(r, field::kTransactionSignature));
    h.miniStreamCutoff = std::uint32_t(readField(r, field::kMiniStreamCutoff));
    h.firstMiniFatSector = std::uint32_t(readField(r, field::kFirstMiniFatSector));
    h.numMiniFatSectors = std::uint32_t(readField(r, field::kNumMiniFatSectors));
    h.firstDifatSector = std::uint32_t(readField(r, field::kFirstDifatSector));
    h.numDifatSectors = std::uint32_t(readField(r, field::kNumDifatSectors));
    for (std::size_t i = 0; i < kHeaderDifatSlots; ++i) h.difat[i] = std::uint32_t(readField(r, field::difatSlot(i)));
    if (!r.ok() || byteOrder != kByteOrderMark) return damagedCompoundFile("bad byte order mark in the header");
    const bool v3 = h.majorVersion == 3 && h.sectorShift == 9;
    const bool v4 = h.majorVersion == 4 && h.sectorShift == 12;
    if (!v3 && !v4) return damagedCompoundFile("unknown version or sector size in the header");
    if (h.miniSectorShift != 6 || h.miniStreamCutoff != kMiniStreamCutoff)
        return damagedCompoundFile("bad mini sector size or cutoff in the header");
    return h;
}

void storeHeader(const Header& h, std::span<std::byte, kHeaderSize> raw)
{
    namespace field = header_field;
    const std::span<std::byte> out(raw);
    storeField(out, field::kMinorVersion, h.minorVersion);
    storeField(out, field::kMajorVersion, h.majorVersion);
    storeField(out, field::kSectorShift, h.sectorShift);
    storeField(out, field::kMiniSectorShift, h.miniSectorShift);
    storeField(out, field::kNumDirSectors, h.numDirSectors);
    storeField(out, field::kNumFatSectors, h.numFatSectors);
    storeField(out, field::kFirstDirSector, h.firstDirSector);
    storeField(out, field::kTransactionSignature, h.transactionSignature);
    storeField(out, field::kMiniStreamCutoff, h.miniStreamCutoff);
    storeField(out, field::kFirstMiniFatSector, h.firstMiniFatSector);
    storeField(out, field::kNumMiniFatSectors, h.numMiniFatSectors);
    storeField(out, field::kFirstDifatSector, h.firstDifatSector);
    storeField(out, field::kNumDifatSectors, h.numDifatSectors);
    for (std::size_t i = 0; i < kHeaderDifatSlots; ++i) storeField(out, field::difatSlot(i), h.difat[i]);
}

}  // namespace quorvane::cfb
