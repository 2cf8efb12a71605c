// SPDX-License-Identifier: Apache-2.0
// Changing the custom properties of a package in its custom part (custom_part.h), in memory:
// the package edit (package_edit.h) makes the part when the package has none (new_part.h) and
// removes it, with its relationship and content-type override, when it is left without properties.
#pragma once

#include <span>
#include <string_view>

#include "base/failure.h"
#include "package/package_xml.h"
#include "props/custom_property.h"

namespace quorvane::package {

// Applies `edits` in order to the parsed custom part. A Set replaces the value element of every
// property of that name (sameCustomName), each keeping its fmtid, pid and stored name, or
// appends a new property with the custom fmtid and pid one past the largest (2 at least; when
// that is past what an xsd:int holds, the smallest free one); the value is the edit's, of the
// edit's type, as the .ppt side stores it: text as vt:lpwstr, integer as vt:i4, number as vt:r8
// (shortest text that reads back the same; INF, -INF, NaN), yes-no as vt:bool (true, false), date
// as vt:filetime ("yyyy-mm-ddThh:nn:ssZ", UTC). A Remove removes every property of that name, a
// RemoveAll every property; every other property keeps its elements as they are.
// True when the part changed. The failure, with the part untouched, for a Set without a name
// ("custom property without a name") or with a name or text a part cannot hold (checkPartText,
// labelled "custom property <name>") or a date outside convert/storable_date.h's bound: Conversion.
Result<bool> applyCustomEdits(ParsedPart& custom, std::span<const props::CustomEdit> edits);

// Whether the custom part holds any property.
bool holdsCustomProperties(const ParsedPart& custom);

}  // namespace quorvane::package
