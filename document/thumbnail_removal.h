// Removing the thumbnail of a presentation file, whichever its format: the thumbnail property of
// a compound document's SummaryInformation, or the thumbnail part of a package.
#pragma once

#include <string>

#include "base/failure.h"

namespace quorvane::document {

// Failure{} when the thumbnail was removed or the file has none; else why not, the file then as
// it was. A digitally signed file is refused as every other write is (signature_check.h).
Failure removeThumbnail(const std::string& path);

}  // namespace quorvane::document
