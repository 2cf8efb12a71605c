// Locating and parsing the two property parts of a package, as the reader and the writer both
// need them: the relationships part first, then the extended-properties part, then the
// core-properties part, each parsed once.
#pragma once

#include <cstddef>
#include <optional>

#include "package/package_xml.h"
#include "base/random_access_file.h"
#include "zip/zip_central_dir.h"

namespace quorvane::package {

struct PropertyPart {
    std::size_t entryIndex = 0;  // into ZipDirectory::entries
    ParsedPart part;
};

struct PropertyParts {
    PropertyPart extended;
    PropertyPart core;
};

// The two parts of the archive `directory` of `file`. nullopt when the relationships entry is
// missing or empty, a relationship is missing, or a part's entry is missing, ambiguous,
// unreadable (see readEntryData) or empty. Throws quorvane::Error when the relationships part or
// a property part is not well-formed XML.
std::optional<PropertyParts> readPropertyParts(RandomAccessFile& file, const zip::ZipDirectory& directory);

}  // namespace quorvane::package
