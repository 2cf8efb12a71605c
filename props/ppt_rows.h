// The 14 catalogue rows of a .ppt file, read and written through the property operations:
// row 12 (total editing time) by the duration read and write in SummaryInformation, property
// 10; every other row by the generic ones in the set and with the id its catalogue row names.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "props/catalogue.h"

namespace quorvane::props {

using RowChanges = std::array<std::optional<std::string>, kRowCount>;

// The text of one row as the display shows it; "" on any failure.
std::string readPptRow(const std::string& path, int row);
// All 14 rows, in catalogue order (one open of the file per row).
RowTexts readPptRows(const std::string& path);

// Writes one row's (trimmed) text; the results and exceptions of the property write.
bool writePptRow(const std::string& path, int row, std::string_view text);
// Writes the rows that hold a value, in catalogue order, stopping at the first write that
// fails. True when every one was written. Conversion errors propagate (quorvane::Error) and
// end the sequence there, the rows before it written.
bool writePptRows(const std::string& path, const RowChanges& changes);

}  // namespace quorvane::props
