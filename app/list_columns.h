// SPDX-License-Identifier: Apache-2.0
// The columns of the file list: "File Name" first, then the optional ones, each a value read from
// the line's file: the 14 property rows, the three file times, the attributes, the size, the
// format, and the line's status. Each column has a caption for the header and a stable name under
// which the settings store keeps it.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "change/file_display.h"
#include "props/catalogue.h"

namespace quorvane::app {

inline constexpr int kFileNameColumn = 0;
inline constexpr int kFirstRowColumn = 1;
inline constexpr int kFirstTimeColumn = kFirstRowColumn + props::kRowCount;
inline constexpr int kAttributesColumn = kFirstTimeColumn + 3;
inline constexpr int kSizeColumn = kAttributesColumn + 1;
inline constexpr int kFormatColumn = kSizeColumn + 1;
inline constexpr int kStatusColumn = kFormatColumn + 1;
inline constexpr int kListColumnCount = kStatusColumn + 1;

QString columnCaption(int column);
// The stable name of `column`: the row's or file time's machine name ("title", "modified"),
// "attributes", "size", "format", "status"; "name" for the file name.
std::string columnName(int column);
// The column named `name`; -1 for a name no column has.
int columnOfName(std::string_view name);

// What a line shows of its file, read once in the background.
struct LineValues {
    props::RowTexts rows;  // "" where nothing was read
    // The number or the date-time a row's text reads as (Revision Number, Total Editing Time, the
    // three dates), so that those columns sort by value; NaN for other rows and unreadable texts.
    std::array<double, props::kRowCount> rowNumbers{};
    bool hasSnapshot = false;
    std::array<convert::DateTime, 3> times{};  // creation, last write, last access; local
    fileinfo::AttributeWord attributes = 0;
    std::int64_t sizeBytes = -1;  // -1 when the file could not be looked at
    std::optional<document::DocumentFormat> format;
};

// The values of a file as its display read gave them. Needs no toolkit: runs on any thread.
LineValues lineValuesOf(const change::FileDisplay& display);

// The text `values` show in `column` (not the file name's nor the status's column).
QString columnText(const LineValues& values, int column);

// Orders `a` and `b` by `column` (not the file name's nor the status's): numbers and date-times
// by value, texts in natural order (digits by number, letter case ignored); a value that is not
// there goes first. Negative, zero or positive.
int compareColumn(const LineValues& a, const LineValues& b, int column);

// Natural order of two texts: runs of digits by their number, letters without regard to case.
int compareNaturally(const QString& a, const QString& b);

}  // namespace quorvane::app
