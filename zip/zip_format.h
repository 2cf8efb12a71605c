// SPDX-License-Identifier: Apache-2.0
// The record signatures and field values of the ZIP format (PKWARE APPNOTE 6.3) that the archive
// reader, the extraction and the rewrite share, defined once.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorvane::zip {

inline constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;     // APPNOTE 4.3.7
inline constexpr std::uint32_t kCentralRecordSignature = 0x02014b50;   // 4.3.12
inline constexpr std::uint32_t kEndRecordSignature = 0x06054b50;       // 4.3.16
inline constexpr std::uint32_t kZip64EndRecordSignature = 0x06064b50;  // 4.3.14
inline constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;    // 4.3.15

// Sizes of the fixed parts of a local header (4.3.7) and of a central record (4.3.12).
inline constexpr std::size_t kLocalHeaderFixedSize = 30;
inline constexpr std::size_t kCentralRecordFixedSize = 46;

inline constexpr std::uint16_t kZip64ExtraId = 0x0001;  // 4.5.3
// A 16- or 32-bit field holding this value defers to the ZIP64 records (4.4.1.4).
inline constexpr std::uint16_t kNoValue16 = 0xFFFF;
inline constexpr std::uint32_t kNoValue32 = 0xFFFFFFFF;

// General purpose flags (4.4.4) and compression methods (4.4.5).
inline constexpr std::uint16_t kFlagEncrypted = 0x0001;
inline constexpr std::uint16_t kFlagUtf8Name = 0x0800;
inline constexpr std::uint16_t kMethodStored = 0;
inline constexpr std::uint16_t kMethodDeflated = 8;

}  // namespace quorvane::zip
