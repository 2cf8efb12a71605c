// SPDX-License-Identifier: Apache-2.0
// The value of the extended attribute user.DOSATTRIB, the store of DOS attributes and the
// creation time that Samba and Wine share. The value is an NDR blob (Samba's xattr.idl,
// `xattr_DosAttrib`): a NUL-terminated hex text, then an optional binary part whose version
// (1 to 5) selects the layout of the body. Wine and old Samba write the hex text alone.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "fileinfo/attribute_word.h"
#include "convert/date_time.h"

namespace quorvane::fileinfo {

// valid_flags bits of versions 3 to 5 (xattr.idl: XATTR_DOSINFO_*).
inline constexpr std::uint32_t kDosInfoAttrib = 0x01;
inline constexpr std::uint32_t kDosInfoCreateTime = 0x10;

// The largest value we read; Samba's biggest layout (version 2 with a name) stays far below.
inline constexpr std::size_t kMaxDosAttribBytes = 1024;

struct DosAttrib {
    AttributeWord attributes = 0;
    std::optional<convert::FileTime> creationTime;  // absent, or stored as zero: none known
};

// Reads a value in any of the layouts: the legacy hex text ("0x22", with or without its NUL)
// and versions 1 to 5. The binary attribute field wins over the text where both are present,
// as in Samba; a creation time is taken from version 1, and from versions 3 to 5 when their
// flags mark it valid. nullopt when the bytes fit none of the layouts (truncated, unknown
// version, text that is not hex, longer than kMaxDosAttribBytes).
std::optional<DosAttrib> parseDosAttrib(std::span<const std::byte> value);

// The version 3 encoding of `dosAttrib`: the hex text of the word (read by Wine and old Samba),
// then the binary part with the word and, when known, the creation time (read by Samba 3.5
// and later, which serves that time to Windows clients).
std::vector<std::byte> encodeDosAttrib(const DosAttrib& dosAttrib);

}  // namespace quorvane::fileinfo
