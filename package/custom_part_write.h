// Changing the custom properties of a package: the custom part (custom_part.h) is edited in
// memory, made when the package has none (docProps/custom.xml, with its package relationship and
// its content-type override), removed with them when it is left without properties, and stored
// in one rewrite of the archive (package_change.h), every other entry byte for byte.
#pragma once

#include <span>
#include <string>

#include "base/failure.h"
#include "base/temp_file.h"
#include "props/custom_property.h"

namespace quorvane::package {

// Applies `edits` in order to the package at `path` (through a symbolic link: to the file it
// names). A Set replaces the value element of the first property of that name (sameCustomName),
// keeping its fmtid, pid and stored name, or appends a new property with the custom fmtid and
// pid one past the largest (2 at least); the value is the edit's, of the edit's type, as the
// .ppt side stores it: text as vt:lpwstr, integer as vt:i4, number as vt:r8 (shortest text that
// reads back the same; INF, -INF, NaN), yes-no as vt:bool (true, false), date as vt:filetime
// ("yyyy-mm-ddThh:nn:ssZ", UTC). A Remove removes every property of that name, a RemoveAll every
// property; every other property keeps its elements as they are. A part left without properties
// is removed with its relationship and its Override; a part made for the edits is
// docProps/custom.xml (docProps/custom<n>.xml, n from 2, when that name is taken).
//
// Failure{} when written, and when nothing changes (nothing written then). Otherwise the file is
// as it was, and the failure says why: Conversion for a Set without a name ("custom property
// without a name") or with a name or text a part cannot hold (checkPartText, labelled "custom
// property <name>") or a date past the year 9999 (checkW3cYear); openPackageForChange's ("no such
// file", "read-only", "in use by another program", "not a ZIP archive", ...); "package part
// missing: _rels/.rels", "package part missing: <part>" for a custom part or "[Content_Types].xml"
// that the change needs and the archive lacks; a needed part's own failure (readEditablePart:
// damaged, too large, not well-formed, "declares a document type"); checkPartBounds' for a part as
// it would be stored; and the rewrite's (zip::editArchive). `wrapTarget` is for fault tests.
Failure writePackageCustomProperties(const std::string& path, std::span<const props::CustomEdit> edits,
                                     const TargetWrapper& wrapTarget = {});

}  // namespace quorvane::package
