// One XML part of a package, parsed with pugixml and saved back. Parsing keeps the declaration,
// comments, processing instructions and the document type as nodes, drops whitespace-only text
// between elements, validates nothing, expands no entity beyond the five predefined ones and
// character references, and resolves nothing external; the encoding comes from the part's
// byte-order mark or declaration (ECMA-376 Part 2, 8.1.4: UTF-8 or UTF-16).
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include <pugixml.hpp>

namespace quorvane::package {

struct ParsedPart {
    std::string name;                  // the entry name, for error texts
    pugi::xml_document document;
    pugi::xml_encoding encoding = pugi::encoding_utf8;
    bool hasByteOrderMark = false;

    pugi::xml_node root() const { return document.document_element(); }
};

// Parses `bytes` as the part `name`. Throws quorvane::Error ("The part '<name>' is not
// well-formed XML: <reason> at offset <n>") when the bytes are not well-formed XML with a root
// element.
ParsedPart parsePart(std::string name, std::span<const std::byte> bytes);

// The part as bytes: declaration included, no indentation, in the encoding it was read in, with
// a byte-order mark when it had one.
std::vector<std::byte> savePart(const ParsedPart& part);

}  // namespace quorvane::package
