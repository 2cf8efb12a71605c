// SPDX-License-Identifier: Apache-2.0
// The thumbnail of a compound document: property PIDSI_THUMBNAIL (0x11, VT_CF) of the
// SummaryInformation property set ([MS-OLEPS] 2.25.1).
#pragma once

#include "propset/property_set_access.h"

namespace quorvane::propset {

// The write that removes the thumbnail property from SummaryInformation: its table entry and
// value go, every other property's bytes kept; nothing changes when it is absent.
PropertyWrite thumbnailRemoval();

// Whether the first section of SummaryInformation holds a thumbnail.
bool holdsThumbnail(const PropertySetContent& summary);

}  // namespace quorvane::propset
