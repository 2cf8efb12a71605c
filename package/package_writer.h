// Writing property rows into a .pptx package: both property parts are changed in memory and
// stored back in one rewrite of the archive into a temporary file beside it, renamed over the
// original (see zip_rewrite.h). The writer never adds a part, a relationship or a content type.
#pragma once

#include <string>

#include "base/failure.h"
#include "package/package_rows.h"
#include "zip/zip_rewrite.h"

namespace quorvane::package {

// Writes the rows selected in `selected` from `texts` into the package at `path` (through a
// symbolic link: into the file it names, the link kept), in the order of
// kExtendedPartRows then kCorePartRows, with SetChildElementText. Row texts are taken untrimmed,
// except: Created and Last saved are written as W3C date-times, and left as they are in the part
// when their text is empty or no date (a package may not hold an empty date); Last Printed is
// trimmed and then converted, and removed when that gives no date; TotalTime is removed when
// empty. Both parts are stored back even when none of their rows is selected.
//
// True when the package was rewritten. False, with the file untouched, when it has no write
// permission for anyone (read-only), cannot be opened or locked, is not a ZIP archive, lacks the
// relationships part, a relationship or a property part (the core part included), has a part
// past the bounds of package_xml.h (as read, or as it would be written) or a part that declares
// a document type, has both relationships name one entry, or when a selected row's text holds
// what a part cannot (checkPartText) or a date converts to a UTC year outside 1 to 9999
// (checkW3cYear). Throws quorvane::Error, with the file untouched, when a part is not
// well-formed XML, a written element holds more than one text node, or the rewrite fails (the
// temporary file is then removed).
//
// `wrapTarget` is for fault tests: it wraps the temporary file that the rewrite writes.
bool WritePackageProperties(const std::string& path, const props::RowTexts& texts, const props::RowSelection& selected,
                            const TargetWrapper& wrapTarget = {});

// WritePackageProperties with the reason of a failure instead of false, the file untouched in
// every case: openPackageFile's ("no such file", "not a regular file", "in use by another
// program", ...), "read-only", zip::readArchiveDirectory's ("not a ZIP archive", "damaged ZIP
// archive: <what>"), loadPropertyParts' ("package part missing: <part or relationship>", ...),
// "damaged package: both property relationships name <part>", checkRewritable's ("package part
// declares a document type: <part>"), checkPartText's and checkW3cYear's (Conversion: "text
// cannot be stored in a package part: control character U+000B in Title", ...), checkPartBounds'
// for the parts as they would be written, and the rewrite's (zip::editArchive: "no space left
// on the device", "permission denied", ...) instead of a throw. A part that is not well-formed
// XML fails too ("package part not well-formed: <part>: <reason>"); a written element that holds
// more than one text node still throws quorvane::Error.
Failure writePackageRows(const std::string& path, const props::RowTexts& texts, const props::RowSelection& selected,
                         const TargetWrapper& wrapTarget = {});

}  // namespace quorvane::package
