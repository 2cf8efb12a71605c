// The custom (user-defined) properties of a presentation file, whichever its format: the
// user-defined section of a compound document (propset/custom_properties.h) or the custom part
// of a package (package/custom_part.h), chosen as for the 14 rows (document_format.h).
#pragma once

#include <span>
#include <string>
#include <vector>

#include "base/failure.h"
#include "props/custom_property.h"

namespace quorvane::document {

// The custom properties of the file at `path`, in stored order; empty when it has none. The
// failure of the read (the open's, a damaged file or part) otherwise.
Result<std::vector<props::CustomProperty>> readCustomRows(const std::string& path);

// Applies `edits` in order to the file at `path` in one write: Failure{} when written or when
// nothing changes, else why not, the file then as it was. A digitally signed file is refused
// with signedDocumentRefusal() unless SignedDocumentWrites allows it.
Failure writeCustomRows(const std::string& path, std::span<const props::CustomEdit> edits);

}  // namespace quorvane::document
