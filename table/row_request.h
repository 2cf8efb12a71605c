// SPDX-License-Identifier: Apache-2.0
// The change one row of a value table (table/value_table.h) asks of its file: each cell read as
// its column's value and compared with what the file holds, so that a value the file holds
// already is kept and a table applied unchanged asks nothing.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "change/file_display.h"
#include "change/file_request.h"
#include "table/value_table.h"

namespace quorvane::table {

struct RowRequest {
    change::FileRequest request;
    std::vector<TableRefusal> refusals;  // one per cell its column cannot take
};

// The request of `row` for the file that `current` read (change::ReadFileForDisplay with its
// custom properties); with `onlyCell` the request of that one cell alone. Cells:
// - a row: "" (or null) removes the value; dates as table/table_cells.h reads them and within
//   convert/storable_date.h's bound; Total Editing Time a whole number of minutes;
// - a file time: a date as for rows; "" keeps the time;
// - an attribute: Y, yes, true, 1 or on sets it; "", N, no, false, 0 or off clears it;
// - a custom property: its value as the column's type, else the type the file stores it with,
//   else text (numbers with the locale's decimal separator too); "" removes it (a property
//   whose value shows as "" is kept), null always removes it.
// A value equal to the file's (dates to the precision the cell gives) is kept.
RowRequest requestOfRow(const ValueTable& table, const TableRow& row, const change::FileDisplay& current,
                        std::optional<std::size_t> onlyCell = std::nullopt);

}  // namespace quorvane::table
