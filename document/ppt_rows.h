// The 14 catalogue rows of a .ppt file, read and written through the property operations:
// row 12 (total editing time) by the duration read and write in SummaryInformation, property
// 10; every other row by the generic ones in the set and with the id its catalogue row names.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "base/failure.h"
#include "props/catalogue.h"
#include "propset/property_set_access.h"

namespace quorvane::document {

using RowChanges = std::array<std::optional<std::string>, props::kRowCount>;

// The text of one row as the display shows it; "" on any failure.
std::string readPptRow(const std::string& path, int row);
// All 14 rows, in catalogue order (one open of the file per row), "" for any row that cannot be
// read.
props::RowTexts readPptRows(const std::string& path);
// All 14 rows from one open of the file, or why the file cannot be read: the open's reasons
// ("no such file", "in use by another program", "not a regular file", "permission denied") or
// "damaged compound file: <what>" (a property-set stream whose chain is broken included). Rows
// whose set is absent or does not parse, or whose property is absent, are "", as in readPptRows.
Result<props::RowTexts> readPptRowsOrFailure(const std::string& path);

// The property write that row `row` takes for `text` (trimmed here), and the selector of its set
// (the editing time goes to SummaryInformation). An empty Last Printed or editing time removes
// its property instead of storing VT_NULL.
struct PptRowWrite {
    int selector;
    propset::PropertyWrite write;
};
PptRowWrite pptRowWrite(int row, std::string_view text);

// Writes one row's (trimmed) text: writePptRows with that row alone.
bool writePptRow(const std::string& path, int row, std::string_view text);
// Writes the rows that hold a value: the rows of each property set together, in one replacement
// of the set's stream (SummaryInformation first, then DocumentSummaryInformation), both in one
// open and one write sequence of the file, so that a file is synced as often as for one set. True
// when every row was written. Each row's fate is decided first, in catalogue order (a date text that is no date, a
// date that cannot be stored, text without a form in its set's code page, an unreadable set), and
// exactly the rows before the first that cannot be written are written. A date text that is no
// date ends the write with its error (quorvane::Error) after those rows. A failed write (I/O, a
// damaged compound file) leaves both sets as they were.
bool writePptRows(const std::string& path, const RowChanges& changes);
// writePptRows with the reason of a failure: Failure{} when every row was written, else the
// reason of the first row that cannot be written ("text cannot be stored in code page N", "date
// before 1601 cannot be stored", ...), or of the first read or set write that failed ("in use by
// another program", "read-only", "no space left on the device", "damaged compound file: ...").
// Throws as writePptRows does.
Failure writePptRowsOrFailure(const std::string& path, const RowChanges& changes);

}  // namespace quorvane::document
