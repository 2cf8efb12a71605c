// SPDX-License-Identifier: Apache-2.0
// The content-types part "[Content_Types].xml" of a package (ECMA-376, Open Packaging
// Conventions, content types stream): Default elements give the type of parts by extension,
// Override elements the type of one part by its part name ("/docProps/custom.xml"). Part names
// are compared as entry names are, ASCII letter case ignored (the conventions make part names
// that differ only so equivalent).
#pragma once

#include <string>
#include <string_view>

#include "package/package_xml.h"

namespace quorvane::package {

// The entry name of the content-types part.
inline constexpr const char* kContentTypesEntryName = "[Content_Types].xml";

// The part name of the entry `entryName` ("docProps\\custom.xml" gives "/docProps/custom.xml").
std::string partNameOfEntry(std::string_view entryName);

// Removes every Override of `contentTypes` whose PartName names `entryName`. True when one was
// there. Default elements are left alone.
bool removeOverride(ParsedPart& contentTypes, std::string_view entryName);

// Appends an Override of `contentType` for the part `entryName`, in the root's namespace, unless
// an Override names that part already. True when it was appended.
bool addOverride(ParsedPart& contentTypes, std::string_view entryName, std::string_view contentType);

}  // namespace quorvane::package
