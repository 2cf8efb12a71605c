// SPDX-License-Identifier: Apache-2.0
// The fixed catalogue of the 14 document properties the program knows, in row order, and the
// seven file-time and attribute labels. Every other part of the program addresses a property
// by its row index 0..13 and takes label, property set, id, value type and package element
// from here; nothing else holds a copy of these constants.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvane::props {

inline constexpr int kRowCount = 14;
inline constexpr int kFileInfoLabelCount = 7;

// Property-set selectors of a .ppt file.
inline constexpr int kSummaryInformation = 1;
inline constexpr int kDocumentSummaryInformation = 2;
inline constexpr int kThirdPropertySet = 3;  // known to the dispatch, used by no row

// Property-variant types with which values are written.
inline constexpr std::uint16_t kVtLpstr = 30;
inline constexpr std::uint16_t kVtFiletime = 64;

// Rows whose kind the program tests by index.
inline constexpr int kCommentsRow = 4;
inline constexpr int kRevisionNumberRow = 6;
inline constexpr int kLastSavedByRow = 7;
inline constexpr int kCreatedRow = 10;
inline constexpr int kLastSavedRow = 11;
inline constexpr int kTotalEditingTimeRow = 12;
inline constexpr int kLastPrintedRow = 13;

// Indexes of the seven file-time and attribute labels.
inline constexpr int kCreationTimeLabel = 0;
inline constexpr int kModifyTimeLabel = 1;
inline constexpr int kLastAccessTimeLabel = 2;
inline constexpr int kReadOnlyLabel = 3;
inline constexpr int kArchiveLabel = 4;
inline constexpr int kHiddenLabel = 5;
inline constexpr int kSystemLabel = 6;

// A property-set format identifier, with the fields of the usual {8-4-4-4-12} text form.
struct Fmtid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::array<std::uint8_t, 8> data4;

    // The 16 bytes as stored in a property-set stream ([MS-OLEPS] 2.3: GUID packet, little-endian
    // fields). Bytes compare equal exactly when the identifiers do.
    std::array<std::uint8_t, 16> toBytes() const;
    friend bool operator==(const Fmtid&, const Fmtid&) = default;
};

enum class PackagePart { Core, Extended };

struct PropertyRow {
    std::string_view label;         // shown in both tables; registry value stem; CSV title
    int selector;                   // kSummaryInformation or kDocumentSummaryInformation
    std::uint32_t propertyId;       // id within that set
    std::uint16_t valueType;        // kVtLpstr or kVtFiletime
    PackagePart packagePart;        // where a .pptx keeps it
    std::string_view elementName;   // qualified element name in that part, e.g. "dc:title"
    std::string_view name;          // stable machine name: "title", "last_saved_by", ...
};

// The row at `row` (0..kRowCount-1). Precondition: the index is in range.
const PropertyRow& catalogueRow(int row);

// The FMTID of a property-set selector (1..3). Precondition: the selector is in range.
const Fmtid& fmtidOfSelector(int selector);

// One of the seven file-time and attribute labels, by index 0..6 (see k...Label above).
std::string_view fileInfoLabel(int index);

// The stable machine name of one of the seven file-time and attribute labels: "created",
// "modified", "accessed" (the three file times), "read_only", "archive", "hidden", "system".
std::string_view fileInfoName(int index);

// One text per row (empty = no value), as every reader and writer exchanges the rows.
using RowTexts = std::array<std::string, kRowCount>;
// Which rows a write takes.
using RowSelection = std::array<bool, kRowCount>;
// Every row selected, as a single change writes them.
inline constexpr RowSelection kAllRows{true, true, true, true, true, true, true,
                                       true, true, true, true, true, true, true};

// Row kinds, fixed by index.
constexpr bool isNumberRow(int row) { return row == kRevisionNumberRow || row == kTotalEditingTimeRow; }
constexpr bool isDateTimeRow(int row) { return row == kCreatedRow || row == kLastSavedRow || row == kLastPrintedRow; }
constexpr bool isDurationRow(int row) { return row == kTotalEditingTimeRow; }
constexpr bool isBlankableDateTimeRow(int row) { return row == kLastPrintedRow; }
constexpr bool isTextRow(int row) { return !isNumberRow(row) && !isDateTimeRow(row); }

}  // namespace quorvane::props
