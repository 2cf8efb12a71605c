// SPDX-License-Identifier: Apache-2.0
// The package relationships part "_rels/.rels" (ECMA-376 Part 2, 9.3): where it is in the
// archive, and the scan for the targets of the extended-properties and core-properties
// relationships.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "package/package_xml.h"
#include "zip/zip_central_dir.h"

namespace quorvane::package {

inline constexpr std::string_view kExtendedPropertiesType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties";
inline constexpr std::string_view kCorePropertiesType =
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties";

// The name under which the relationships part is extracted.
inline constexpr const char* kRelationshipsEntryName = "_rels\\.rels";

struct RelationshipTargets {
    std::string extended;  // entry names: the Target attributes with every "/" turned into "\"
    std::string core;
};

// The index of the first entry whose file name is ".rels" and whose path name is "_rels\",
// letter case included; nullopt when there is none.
std::optional<std::size_t> findRelationshipsEntry(const zip::ZipDirectory& directory);

// Walks the root's "Relationship" children in document order; a later relationship of a type
// replaces the earlier target, and the walk stops once both targets are known. The core type is
// recognised in both forms that writers use (".../package/2006/relationships/metadata/core-
// properties" and ".../officedocument/2006/relationships/metadata/core-properties"). Targets are
// taken as written, relative to the archive root, nothing resolved. nullopt unless both targets
// are non-empty.
std::optional<RelationshipTargets> FindRelationshipTargets(const ParsedPart& relationships);

// The same walk, with a target left "" when the part has no relationship of its type (or an
// empty Target).
RelationshipTargets relationshipTargetsOf(const ParsedPart& relationships);

// The root's relationship elements (matched by local name) whose Type is one of `types`, in
// document order; handles into `relationships`, valid while it lives.
std::vector<pugi::xml_node> relationshipsOfType(const ParsedPart& relationships,
                                                std::initializer_list<std::string_view> types);

// The entry name of the part a package relationship targets: its Target taken relative to the
// package root, a leading "/" dropped, every "/" turned into "\" ("" for an empty Target).
std::string targetEntryName(pugi::xml_node relationship);

// `target` with every "/" turned into "\" (the package reader's form of an entry name).
std::string asEntryName(std::string target);

// Whether the relationship points outside the package (TargetMode="External"): its
// Target names no part.
bool isExternalRelationship(pugi::xml_node relationship);

// Appends a relationship of `type` to `target` (as written in Target) with an Id that no
// relationship of the part has ("rId<n>", n counted up from the number of relationships + 1),
// in the root's namespace.
void appendRelationship(ParsedPart& relationships, std::string_view type, std::string_view target);

}  // namespace quorvane::package
