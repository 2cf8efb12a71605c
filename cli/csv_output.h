// SPDX-License-Identifier: Apache-2.0
// The export's lines as the tool writes them: valid UTF-8 (U+FFFD for each invalid byte) and,
// when asked, with formula-like values defused by a leading apostrophe, the remedy the OWASP
// "CSV Injection" page describes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvane::cli {

// `line`, a line of RFC 4180 fields that are all quoted (export/csv_export.h), made valid UTF-8;
// with `safeFormulas` every field whose value starts with '=', '+', '-', '@', TAB or CR gets a
// "'" in front of that value.
std::string csvLineForOutput(std::string_view line, bool safeFormulas);

// The number of fields in `line`, a line of RFC 4180 fields: the commas outside quotes, plus one.
std::size_t csvFieldCount(std::string_view line);

// `line` filled up with empty quoted fields to `fieldCount` fields, its empty last field (the
// short line of a missing file ends in a comma) quoted first; a line that holds as many or more
// comes back unchanged.
std::string withFieldCount(std::string line, std::size_t fieldCount);

}  // namespace quorvane::cli
