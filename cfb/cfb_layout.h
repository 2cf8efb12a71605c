// SPDX-License-Identifier: Apache-2.0
// Where each field of the compound-file header ([MS-CFB] 2.2) and of a 128-byte directory entry
// ([MS-CFB] 2.6) lies, named once: the decoders (cfb_header.cpp, cfb_directory.cpp) read these
// fields and the patching code writes them through the same constants, so the two directions
// cannot drift apart. Every field is little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "base/byte_reader.h"
#include "base/byte_writer.h"

namespace quorvane::cfb {

// A little-endian field: its byte offset inside its record and its width in bytes.
struct FieldAt {
    std::size_t offset;
    std::size_t width;
};

// Reads field `field` of the record that `record` reads (from its start); 0 and a failed reader
// when the record is too short.
inline std::uint64_t readField(ByteReader& record, FieldAt field)
{
    record.seek(field.offset);
    switch (field.width) {
    case 1: return record.u8();
    case 2: return record.u16();
    case 4: return record.u32();
    default: return record.u64();
    }
}

// Overwrites field `field` of `record` with the low `field.width` bytes of `value`.
inline void storeField(std::span<std::byte> record, FieldAt field, std::uint64_t value)
{
    patchLittle(record, field.offset, value, field.width);
}

// [MS-CFB] 2.2: the header.
namespace header_field {
inline constexpr FieldAt kSignature{0x00, 8};
inline constexpr std::size_t kClsidOffset = 0x08;  // 16 bytes, not interpreted
inline constexpr FieldAt kMinorVersion{0x18, 2};
inline constexpr FieldAt kMajorVersion{0x1A, 2};
inline constexpr FieldAt kByteOrder{0x1C, 2};
inline constexpr FieldAt kSectorShift{0x1E, 2};
inline constexpr FieldAt kMiniSectorShift{0x20, 2};
// 0x22: 6 reserved bytes.
inline constexpr FieldAt kNumDirSectors{0x28, 4};
inline constexpr FieldAt kNumFatSectors{0x2C, 4};
inline constexpr FieldAt kFirstDirSector{0x30, 4};
inline constexpr FieldAt kTransactionSignature{0x34, 4};
inline constexpr FieldAt kMiniStreamCutoff{0x38, 4};
inline constexpr FieldAt kFirstMiniFatSector{0x3C, 4};
inline constexpr FieldAt kNumMiniFatSectors{0x40, 4};
inline constexpr FieldAt kFirstDifatSector{0x44, 4};
inline constexpr FieldAt kNumDifatSectors{0x48, 4};
// The 109 DIFAT slots of the header, 4 bytes each, from this offset to the end of the 512 bytes.
inline constexpr std::size_t kDifatOffset = 0x4C;
inline constexpr FieldAt difatSlot(std::size_t slot) { return {kDifatOffset + 4 * slot, 4}; }
}  // namespace header_field

inline constexpr std::uint64_t kHeaderSignature = 0xE11AB1A1E011CFD0;  // D0 CF 11 E0 A1 B1 1A E1
inline constexpr std::uint16_t kByteOrderMark = 0xFFFE;

// [MS-CFB] 2.6: a directory entry.
namespace entry_field {
inline constexpr std::size_t kNameOffset = 0x00;  // 32 UTF-16 code units, the NUL included
inline constexpr std::size_t kNameBytes = 64;
inline constexpr FieldAt kNameLength{0x40, 2};    // bytes, with the terminating NUL
inline constexpr FieldAt kObjectType{0x42, 1};
inline constexpr FieldAt kColorFlag{0x43, 1};
inline constexpr FieldAt kLeftSiblingId{0x44, 4};
inline constexpr FieldAt kRightSiblingId{0x48, 4};
inline constexpr FieldAt kChildId{0x4C, 4};
// 0x50 CLSID (16), 0x60 state bits (4), 0x64 creation time (8), 0x6C modified time (8): not
// interpreted, kept as they are.
inline constexpr FieldAt kStartingSector{0x74, 4};
inline constexpr FieldAt kStreamSize{0x78, 8};
// A version 3 file uses only the low half of the size; writers leave the high half as it was.
inline constexpr FieldAt kStreamSizeV3{0x78, 4};
}  // namespace entry_field

}  // namespace quorvane::cfb
