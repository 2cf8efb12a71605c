// The export's lines as the tool writes them: valid UTF-8 (U+FFFD for each invalid byte) and,
// when asked, with formula-like values defused by a leading apostrophe, the remedy the OWASP
// "CSV Injection" page describes.
#pragma once

#include <string>
#include <string_view>

namespace quorvane::cli {

// `line`, a line of RFC 4180 fields that are all quoted (export/csv_export.h), made valid UTF-8;
// with `safeFormulas` every field whose value starts with '=', '+', '-', '@', TAB or CR gets a
// "'" in front of that value.
std::string csvLineForOutput(std::string_view line, bool safeFormulas);

}  // namespace quorvane::cli
