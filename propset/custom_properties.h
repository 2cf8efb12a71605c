// SPDX-License-Identifier: Apache-2.0
// The user-defined properties of a .ppt: the section with FMTID
// {D5CDD505-2E9C-101B-9397-08002B2CF9AE} in the DocumentSummaryInformation stream, its names in
// the dictionary (property 0, [MS-OLEPS] 2.17) and its values typed ([MS-OLEPS] 2.15, 2.16).
// Reading and changing them; a change replaces that one stream through the interruption-safe
// stream writer (cfb_stream_write.h), every other section and every other value byte for byte.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/random_access_file.h"
#include "props/catalogue.h"
#include "props/custom_property.h"

namespace quorvane::propset {

inline constexpr props::Fmtid kUserDefinedFmtid{0xD5CDD505, 0x2E9C, 0x101B, {0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE}};

// The named properties of the user-defined section of a DocumentSummaryInformation stream, in
// table order: text for VT_LPSTR (decoded in the section's code page) and VT_LPWSTR, integer for
// VT_I4, number for VT_R8, yes-no for VT_BOOL, date for VT_FILETIME; any other type by its VT
// name with an empty value. Properties without a dictionary name are left out. Empty when the
// stream has no such section; the failure ("damaged property set: ...") when the section or its
// dictionary does not fit the bytes that hold it.
Result<std::vector<props::CustomProperty>> customPropertiesOf(std::span<const std::byte> stream);

// The stream with `edits` applied in order (`stream` nullopt: the file has no such stream, and a
// new one is made with an empty DocumentSummaryInformation section first, both in code page
// 1200). A set replaces the
// value of the property of that name (letter case ignored) or adds it under the next free id;
// text goes in as VT_LPSTR when the section's code page holds it, else as VT_LPWSTR. A new
// section takes the code page of the stream's first section (1252 when it declares none). A
// section left without values, and the section after a RemoveAll, is removed. Every other
// section keeps its bytes, and every value not named keeps its stored bytes. nullopt when
// nothing changes. Failures: "damaged property set: ..." for a stream that does not parse or a
// section that does not fit its bytes; Conversion ("name cannot be stored in code page N") for a
// name the code page lacks, and for a date outside convert/storable_date.h's bound ("custom
// property <name> cannot be stored: a date must lie from ...").
Result<std::optional<std::vector<std::byte>>> streamWithCustomEdits(const std::optional<std::vector<std::byte>>& stream,
                                                                    std::span<const props::CustomEdit> edits);

}  // namespace quorvane::propset
