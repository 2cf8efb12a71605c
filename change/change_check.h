// What a single change can know before it writes anything: whether the file can be read and
// whether every value has a form in the file (a .ppt row's text in its property set's code page).
// A change refused here leaves no trace: no backup is made and nothing is written.
#pragma once

#include <string>

#include "base/failure.h"
#include "package/package_rows.h"

namespace quorvane::change {

// Failure{} when writing `rowValues` to `path` is not refused before writing; else why it is:
// the file's snapshot's reason ("no such file", ...), why its properties cannot be read ("in use
// by another program", "damaged compound file: ...", "not a ZIP archive", ...), or why a .ppt row
// cannot be stored ("text cannot be stored in code page N", ...). Reading the file leaves its
// last-access time as it was. A row text that is no date or number is not refused here: the
// write reports it as it always has. Never throws.
Failure checkSingleChange(const std::string& path, const props::RowTexts& rowValues);

}  // namespace quorvane::change
