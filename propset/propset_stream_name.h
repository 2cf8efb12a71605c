// SPDX-License-Identifier: Apache-2.0
// The name of the compound-file stream that holds a property set ([MS-OLEPS] 2.25: "\005"
// and the FMTID in 26 characters of a base-32 alphabet), with the two well-known names.
#pragma once

#include <string>

#include "props/catalogue.h"

namespace quorvane::propset {

// "\x05SummaryInformation", "\x05DocumentSummaryInformation" (for both of its FMTIDs), or
// the derived name, e.g. "\x05sebiesnrmkudrfcoiaamtykdda" for {64440492-4C8B-11D1-8B70-080036B11A03}.
std::u16string propertySetStreamName(const props::Fmtid& fmtid);

}  // namespace quorvane::propset
