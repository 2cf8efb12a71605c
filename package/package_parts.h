// SPDX-License-Identifier: Apache-2.0
// Locating and parsing the two property parts of a package, as the reader and the writer both
// need them: the relationships part first, then the extended-properties part, then the
// core-properties part, each parsed once.
#pragma once

#include <cstddef>
#include <optional>

#include "base/failure.h"
#include "base/random_access_file.h"
#include "package/package_xml.h"
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
// unreadable (see readEntryData), empty or past the bounds of package_xml.h. Throws
// quorvane::Error when the relationships part or a property part is not well-formed XML.
std::optional<PropertyParts> readPropertyParts(RandomAccessFile& file, const zip::ZipDirectory& directory);

// What loadPropertyParts does with a part that is not well-formed XML.
enum class MalformedXml {
    Throw,  // throws quorvane::Error, as readPropertyParts does
    Fail    // fails with parseWellFormedPart's reason
};

// The index of the one entry of `directory` that holds the part `name` (an entry name), found as
// zip::findEntry finds it; else "package part missing: <part>" (NotFound), or "package part
// duplicated: <part> (<n> entries bear its name)" (Damaged) when the name is ambiguous.
Result<std::size_t> partEntry(const zip::ZipDirectory& directory, const std::string& name);

// readPropertyParts with the reason of a failure, in the order the parts are read: "package part
// missing: _rels/.rels", "package part missing: extended-properties relationship" or "...
// core-properties relationship", partEntry's failure for a part, "package part too large: <part>" past
// kMaxPartBytes (before anything is inflated), "package part empty: <part>", the entry's own
// failure (zip::entryBytes: damaged, a refused read), "package part has too many elements:
// <part>" (checkPartBounds, before the tree is built), and for malformed XML what
// `onMalformedXml` says.
Result<PropertyParts> loadPropertyParts(RandomAccessFile& file, const zip::ZipDirectory& directory,
                                        MalformedXml onMalformedXml);

// The part held by entry `name` (an entry name, "docProps\\custom.xml") of the archive, parsed
// within the bounds of package_xml.h: every part a package is read for goes through here or
// through loadPropertyParts, with the same reasons ("package part missing", "too large", "empty",
// "has too many elements", "not well-formed").
Result<ParsedPart> readBoundedPart(RandomAccessFile& file, const zip::ZipDirectory& directory, const std::string& name);

}  // namespace quorvane::package
