// SPDX-License-Identifier: Apache-2.0
// The 14 catalogue rows of a .ppt file in its two property sets: row 12 (total editing time) is
// a span of minutes in SummaryInformation, property 10 ([MS-OLEPS] 2.15, VT_FILETIME as a
// duration); every other row is the property its catalogue row names, in its set.
#pragma once

#include <optional>

#include "base/failure.h"
#include "props/catalogue.h"
#include "props/row_value.h"
#include "propset/property_set_access.h"

namespace quorvane::document {

// The selector of the set that holds `row` (the editing time lives in SummaryInformation
// whatever its row's selector says).
int pptSelectorOfRow(int row);

// The 14 row texts as the display shows them, from the first sections of SummaryInformation and
// DocumentSummaryInformation (nullopt: absent or without a section); "" for an absent property.
props::RowTexts pptRowTexts(const std::optional<propset::PropertySetContent>& summary,
                            const std::optional<propset::PropertySetContent>& documentSummary);

// The property write that stores `value` (not Keep) in row `row`: text trimmed of blanks and
// control characters, in the row's type; minutes as a span; an instant as a FILETIME. A cleared
// Last Printed or editing time removes its property (VT_NULL is not stored, some readers cannot
// load it); a cleared Created or Last saved stores VT_NULL. The failure (Conversion) for an
// instant outside convert/storable_date.h's bound ("Create Time/Date cannot be stored: a date must
// lie from ...").
Result<propset::PropertyWrite> pptRowWrite(int row, const props::RowValue& value);

// The rows of a .ppt file, read under a shared lock: the failure of the open and load
// ("no such file", "in use by another program", "damaged compound file: ...") or of a set that
// propset::propertySetContent refuses ("damaged property set: ...").
Result<props::RowTexts> readPptRows(const std::string& path);

}  // namespace quorvane::document
