// SPDX-License-Identifier: Apache-2.0
// A table of per-file values for `quorvane-cli apply` and the window's "Apply values from table":
// the CSV that `export` (or the window) writes, possibly re-saved by a spreadsheet
// (table/csv_table.h), or the JSON array that `show --json` prints, told apart by content. One row per file; each cell names the value one
// column asks of that file's row, custom property, time or attribute.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::table {

struct TableColumn {
    enum class Kind { Row, FileTime, Attribute, Custom };
    std::string title;  // as the table names it, for refusals
    Kind kind = Kind::Row;
    int index = 0;                  // the catalogue row, or the file-time or attribute label index
    std::string customName;         // Custom only
    std::string_view customType;    // Custom only: one of the five type names, "" when not given
};

struct TableCell {
    std::size_t column = 0;           // index into ValueTable::columns
    std::optional<std::string> text;  // nullopt for a JSON null, which removes the value as "" does
};

struct TableRow {
    std::string where;  // "row 4" (a spreadsheet's numbering, the titles being row 1) or "element 3"
    std::string path;   // as the table gives it
    std::vector<TableCell> cells;
};

struct ValueTable {
    std::string pathTitle;  // "File full name" or "path"
    std::vector<TableColumn> columns;
    std::vector<TableRow> rows;
};

// Why a table, a row or a cell is refused.
struct TableRefusal {
    std::string where;   // "row 4", "element 3", "line 7" or "" for the whole table
    std::string column;  // the column's title, or ""
    std::string reason;

    std::string text() const;  // "row 4, column Title: reason"
};

struct TableReading {
    ValueTable table;
    std::vector<TableRefusal> refusals;  // empty when the table reads
};

// Reads a table file's bytes: a JSON array when the first character that is not blank (after
// a UTF-8 byte-order mark) is '[', else CSV. CSV columns: "File full name" is the path (it must
// be there), "File Name" is not applied, the export's row, time and attribute titles are those
// values, any other title is a custom property "Name" or "Name:type" (type text, integer, number,
// yes-no or date). JSON elements: objects with "path" ("path_bytes" preferred when present),
// "properties" by machine name, "times" (created, modified, accessed), "attributes" (read_only,
// archive, hidden, system), "custom" as [{name, type, value}], "format", "readable" and
// "failure" not applied. Refused: a table that does not parse, an empty title, an unknown type,
// an unknown key or title, a title given twice, a row without a path, a value of the wrong JSON
// kind.
TableReading readValueTable(std::string_view bytes);

}  // namespace quorvane::table
