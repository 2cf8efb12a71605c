// SPDX-License-Identifier: Apache-2.0
// The property elements of a package part: direct children of the root element, found by the
// namespace and local name that a qualified name of the property table stands for ("cp:category"
// is {core-properties namespace, "category"}), so a part that uses a default namespace or other
// prefixes is read and written like one that uses the usual prefixes. An element whose prefix the
// part binds to no namespace is matched by its qualified name as written. A part may hold an
// element more than once (which the schema forbids, but writers do it): a read takes the first
// match in document order, as other readers show it; a write changes or removes every copy, so
// that no reader finds the old value in a later one. Namespaces: ECMA-376 Part 2, 11.1 (core) and Part 1, 22.2
// (extended properties, the namespace of names without a prefix).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "base/failure.h"
#include "package/package_xml.h"

namespace quorvane::package {

// The direct children of the part's root that the table name `qualifiedName` names, in document
// order; findChildElement gives the first of them, or an empty handle when there is none.
std::vector<pugi::xml_node> findChildElements(const ParsedPart& part, std::string_view qualifiedName);
pugi::xml_node findChildElement(const ParsedPart& part, std::string_view qualifiedName);

// The text of that element: "" when there is no such element or it is empty, else the value of
// its one text or CDATA node. Throws quorvane::Error ("The element '<name>' of the part '<part>'
// does not hold a single text node") when it holds anything else.
std::string ReadChildElementText(const ParsedPart& part, std::string_view qualifiedName);

// Writes `value` into the element `qualifiedName`, into each copy of it alike:
// - "cp:lastPrinted" and "TotalTime" with an empty value: the element is removed (if present);
// - an element present: its text becomes `value` (an empty value leaves it present and empty);
//   throws quorvane::Error as ReadChildElementText does when any copy holds more than one text
//   node, the part then unchanged;
// - an element absent: a new one is appended as the root's last child, with the prefix the root
//   binds to the element's namespace (none when that is the root's default namespace), else with
//   the table's prefix declared on the new element itself. A new "dcterms:created" or
//   "dcterms:modified" carries xsi:type="dcterms:W3CDTF", with xsi and dcterms bound.
void SetChildElementText(ParsedPart& part, std::string_view qualifiedName, std::string_view value);

// ReadChildElementText and SetChildElementText with the failure instead of the throw
// (Unsupported, the same words); a part whose element is refused is left as it was.
Result<std::string> readChildElementText(const ParsedPart& part, std::string_view qualifiedName);
// setChildElementText of `elements`, the ones findChildElements(part, qualifiedName) gives (empty
// when the part has none), for a caller that looked at them first.
Failure setElementsText(ParsedPart& part, std::span<const pugi::xml_node> elements, std::string_view qualifiedName,
                        std::string_view value);
// The text of `element` as readChildElementText gives it ("" for an empty handle), for a caller
// that found it already.
Result<std::string> elementText(const ParsedPart& part, pugi::xml_node element);
Failure setChildElementText(ParsedPart& part, std::string_view qualifiedName, std::string_view value);

}  // namespace quorvane::package
