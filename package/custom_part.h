// SPDX-License-Identifier: Apache-2.0
// The custom-properties part of a package (ECMA-376, custom file properties: docProps/custom.xml
// by convention), found through the package relationship of the custom-properties type; each
// <property> element holds a name and one value element of the vt namespace
// (http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "base/failure.h"
#include "package/package_xml.h"
#include "props/custom_property.h"

namespace quorvane::package {

inline constexpr std::string_view kCustomPropertiesType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties";
// The lower-case form of the namespace part of that type that some writers use.
inline constexpr std::string_view kCustomPropertiesTypeLowerCase =
    "http://schemas.openxmlformats.org/officedocument/2006/relationships/custom-properties";

// The custom-properties relationships of the package relationships part, of either form, in
// document order (see relationshipsOfType); the first is the one read.
std::vector<pugi::xml_node> customPropertiesRelationships(const ParsedPart& relationships);

// The properties of a parsed custom part, in document order: vt:lpwstr and vt:lpstr as text,
// vt:i4 as integer, vt:r8 as number, vt:bool as yes-no ("yes" for "true" or "1"), vt:filetime as
// date (display text in local time, "" when it is no W3C date-time); any other value element by
// its qualified name ("vt:blob") with an empty value. A property without a name is left out.
std::vector<props::CustomProperty> customPropertiesOfPart(const ParsedPart& part);

}  // namespace quorvane::package
