#include "cfb/cfb_header.h"

#include <algorithm>

#include "base/byte_reader.h"
#include "base/byte_writer.h"

namespace quorvane::cfb {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

}  // namespace

std::optional<Header> parseHeader(std::span<const std::byte> first512)
{
    if (first512.size() < kHeaderSize) return std::nullopt;
    ByteReader r(first512.first(kHeaderSize));
    for (const std::uint8_t expected : kSignature)
        if (r.u8() != expected) return std::nullopt;
    r.skip(16);  // header CLSID
    Header h;
    h.minorVersion = r.u16();
    h.majorVersion = r.u16();
    const std::uint16_t byteOrder = r.u16();
    h.sectorShift = r.u16();
    h.miniSectorShift = r.u16();
    r.skip(6);
    h.numDirSectors = r.u32();
    h.numFatSectors = r.u32();
    h.firstDirSector = r.u32();
    h.transactionSignature = r.u32();
    h.miniStreamCutoff = r.u32();
    h.firstMiniFatSector = r.u32();
    h.numMiniFatSectors = r.u32();
    h.firstDifatSector = r.u32();
    h.numDifatSectors = r.u32();
    for (auto& slot : h.difat) slot = r.u32();
    if (!r.ok() || byteOrder != 0xFFFE) return std::nullopt;
    const bool v3 = h.majorVersion == 3 && h.sectorShift == 9;
    const bool v4 = h.majorVersion == 4 && h.sectorShift == 12;
    if ((!v3 && !v4) || h.miniSectorShift != 6 || h.miniStreamCutoff != kMiniStreamCutoff) return std::nullopt;
    return h;
}

void storeHeader(const Header& h, std::span<std::byte, kHeaderSize> raw)
{
    const std::span<std::byte> out(raw);
    patchLittle(out, 0x18, h.minorVersion, 2);
    patchLittle(out, 0x1A, h.majorVersion, 2);
    patchLittle(out, 0x1E, h.sectorShift, 2);
    patchLittle(out, 0x20, h.miniSectorShift, 2);
    patchLittle(out, 0x28, h.numDirSectors, 4);
    patchLittle(out, 0x2C, h.numFatSectors, 4);
    patchLittle(out, 0x30, h.firstDirSector, 4);
    patchLittle(out, 0x34, h.transactionSignature, 4);
    patchLittle(out, 0x38, h.miniStreamCutoff, 4);
    patchLittle(out, 0x3C, h.firstMiniFatSector, 4);
    patchLittle(out, 0x40, h.numMiniFatSectors, 4);
    patchLittle(out, 0x44, h.firstDifatSector, 4);
    patchLittle(out, 0x48, h.numDifatSectors, 4);
    for (std::size_t i = 0; i < kHeaderDifatSlots; ++i) patchLittle(out, 0x4C + 4 * i, h.difat[i], 4);
}

}  // namespace quorvane::cfb
