// SPDX-License-Identifier: Apache-2.0
// Reading a CSV table as spreadsheets and `quorvane-cli export` write it (RFC 4180): its text
// in UTF-8 with or without a byte-order mark, or in Windows code page 1252 when it is not UTF-8;
// fields separated by commas, semicolons or tabs, whichever the first line holds most of outside
// quotes; quoted fields with doubled quotes and line breaks inside; CR LF or LF line ends.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/failure.h"

namespace quorvane::table {

// The text of a table file's bytes as UTF-8: a leading UTF-8 byte-order mark dropped; bytes that
// are not valid UTF-8 read as code page 1252.
std::string tableTextOf(std::string_view bytes);

struct CsvRecord {
    std::size_t line = 0;  // the line it starts on, from 1
    std::vector<std::string> fields;
};

// The records of `text` (tableTextOf's), empty lines left out. The failure (Damaged) names the
// line: "line 4: a quoted field is not closed", "line 2: text after the closing quote of a field".
Result<std::vector<CsvRecord>> readCsvRecords(std::string_view text);

}  // namespace quorvane::table
