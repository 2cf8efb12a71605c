// SPDX-License-Identifier: Apache-2.0
// One XML part of a package, parsed with pugixml and saved back. Parsing keeps the declaration,
// comments, processing instructions and the document type as nodes, drops whitespace-only text
// between elements, validates nothing, expands no entity beyond the five predefined ones and
// character references, and resolves nothing external; the encoding comes from the part's
// byte-order mark or declaration (ECMA-376 Part 2, 9.1.4: UTF-8 or UTF-16).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "base/failure.h"

namespace quorvane::package {

struct ParsedPart {
    std::string name;                  // the entry name, for error texts
    pugi::xml_document document;
    pugi::xml_encoding encoding = pugi::encoding_utf8;
    bool hasByteOrderMark = false;
    bool prologKept = false;          // prolog and trailing hold the part's own bytes
    std::vector<std::byte> prolog;    // the bytes before the root element, as read
    std::vector<std::byte> trailing;  // the white space after the last node, as read

    pugi::xml_node root() const { return document.document_element(); }
};

// Bounds of every part that is parsed, checked before its tree is built, so that no package makes a
// read or a write use more than a few tens of MiB per part. Real property and relationships parts
// are a few KiB with a few hundred '<'; the bounds leave a margin of a thousand times that.
inline constexpr std::uint64_t kMaxPartBytes = 4ull << 20;          // inflated size
inline constexpr std::size_t kMaxPartMarkupCount = std::size_t(1) << 16;  // '<' bytes

// Failure{} when `bytes` fit both bounds: "package part too large: <name>" past kMaxPartBytes,
// "package part has too many elements: <name>" past kMaxPartMarkupCount bytes '<' (each element,
// end tag, comment or instruction starts with one, in every encoding a part may use, so their
// count bounds the nodes of the tree); both Unsupported. The writer checks the parts it makes
// too, so that it never stores a part that a read would refuse.
Failure checkPartBounds(std::string_view name, std::span<const std::byte> bytes);

// Failure{} when the part may be saved back without changing its meaning; else "package part
// declares a document type: <name>" (Unsupported): a document type may declare entities and
// default attributes that the parser does not expand, so a part saved from the tree would lose
// them (ECMA-376 Part 2, 9.1.4 forbids document type declarations in a package).
Failure checkRewritable(const ParsedPart& part);

// Parses `bytes` as the part `name`. Throws quorvane::Error ("The part '<name>' is not
// well-formed XML: <reason> at offset <n>") when the bytes are not well-formed XML with a root
// element.
ParsedPart parsePart(std::string name, std::span<const std::byte> bytes);

// parsePart with the reason of a failure instead of the exception: "package part not
// well-formed: <name with / separators>: <reason> at offset <n>" (Damaged).
Result<ParsedPart> parseWellFormedPart(std::string name, std::span<const std::byte> bytes);

// The local name of a qualified name ("vt:lpwstr" gives "lpwstr").
std::string_view localNameOf(std::string_view qualifiedName);

// `localName` with the prefix of the part's root element ("property" under a root written
// "cp:Properties" gives "cp:property"), for a new child in the root's namespace.
std::string nameInRootNamespace(const ParsedPart& part, std::string_view localName);

// An entry name of the package reader ("docProps\core.xml") as a person reads a part name
// ("docProps/core.xml").
std::string partNameForPeople(std::string entryName);

// The part as bytes, in the encoding it was read in: the bytes before the root element
// (byte-order mark, declaration, comments, instructions and the white space between them) and the
// white space after the last node exactly as they were read, the root element and any node after
// it as pugixml writes them, without indentation, a carriage return of a value written "&#13;" so
// that it reads back as itself. A part whose prolog the parser and this
// function see differently (a document type, say) is saved wholly by pugixml, declaration
// included, with a byte-order mark when it had one.
std::vector<std::byte> savePart(const ParsedPart& part);

}  // namespace quorvane::package
