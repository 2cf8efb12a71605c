// The thumbnail of a compound document: property PIDSI_THUMBNAIL (0x11, VT_CF) of the
// SummaryInformation property set ([MS-OLEPS] 2.25.1).
#pragma once

#include <string>

#include "base/failure.h"

namespace quorvane::propset {

// Removes the thumbnail property from the SummaryInformation stream of the compound file
// `fileName` in one interruption-safe replacement of that stream, every other property's bytes
// kept. Failure{} when removed or when the file has no such property or stream; else why not,
// the file then as it was.
Failure removeThumbnailProperty(const std::string& fileName);

}  // namespace quorvane::propset
