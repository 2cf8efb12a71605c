// SPDX-License-Identifier: Apache-2.0
// Reading the 14 property rows of a .pptx package (ECMA-376 Part 2, Open Packaging Conventions):
// the core-properties and extended-properties parts, found through "_rels/.rels", read in memory
// under a shared lock; the package is not changed.
#pragma once

#include <optional>
#include <string>

#include "base/failure.h"
#include "package/package_rows.h"

namespace quorvane::package {

// The 14 row texts of the package at `path`: each element's text as it stands (not trimmed),
// TotalTime as its count of minutes, the three dates (created, modified, lastPrinted) converted
// from W3C date-time text to display text ("" when they are not a W3C date-time); a row whose
// element the part lacks is "". nullopt when the file cannot be opened (missing, or locked by a
// writer), is not a ZIP archive, or lacks the relationships part, a relationship, or a property
// part (missing, empty, damaged, past the part bounds of package_xml.h), or a part is not
// well-formed XML or a property element holds more than one text node.
std::optional<props::RowTexts> ReadPackageProperties(const std::string& path);

// ReadPackageProperties with the reason of a failure instead of nullopt (PackageEdit::open and
// rows): the open's ("no such file", "not a regular file", "in use by another program", ...),
// zip::readArchiveDirectory's ("not a ZIP archive", "damaged ZIP archive: <what>"), a part's
// ("package part missing: <part or relationship>", "package part too large: <part>", "package
// part has too many elements: <part>", "package part not well-formed: <part>: <reason>"), or the
// words for an element that holds more than one text node.
Result<props::RowTexts> readPackageRows(const std::string& path);

}  // namespace quorvane::package
