// SPDX-License-Identifier: Apache-2.0
// Writing property rows into a .pptx package from their display texts: the operation the
// window's older callers and the format tests know, a thin wrapper of the package edit
// (package_edit.h), which the change path uses with typed values.
#pragma once

#include <string>

#include "base/failure.h"
#include "base/temp_file.h"
#include "package/package_rows.h"

namespace quorvane::package {

// Writes the rows selected in `selected` from `texts` into the package at `path` (through a
// symbolic link: into the file it names, the link kept) in one rewrite of the archive. Row texts
// are taken untrimmed, except: Created and Last saved are written as W3C date-times, and left as
// they are in the part when their text is empty or no date (a package may not hold an empty
// date); Last Printed is removed when its text is empty or no date; TotalTime is removed when
// empty. Only parts that change are stored; nothing changed, nothing written.
// True when the package holds the rows. False, with the file untouched, for every failure of
// the package edit: read-only, locked, missing, not a ZIP archive, a part or relationship
// missing, damaged or out of bounds, a part that declares a document type or is not
// well-formed, text a part cannot hold or a date outside convert/storable_date.h's bound, Total Editing
// Time that is no whole number, or a failed rewrite. `wrapTarget` is for fault tests.
bool WritePackageProperties(const std::string& path, const props::RowTexts& texts, const props::RowSelection& selected,
                            const TargetWrapper& wrapTarget = {});

// WritePackageProperties with the reason of a failure.
Failure writePackageRows(const std::string& path, const props::RowTexts& texts, const props::RowSelection& selected,
                         const TargetWrapper& wrapTarget = {});

}  // namespace quorvane::package
