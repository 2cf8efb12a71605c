#include "package/package_relationships.h"

#include <algorithm>
#include <string_view>

#include "zip/zip_central_dir.h"

namespace quorvane::package {
namespace {

constexpr std::string_view kExtendedPropertiesType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties";
constexpr std::string_view kCorePropertiesType =
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties";
// The form of ECMA-376 Part 1 that some writers use (LibreOffice among them).
constexpr std::string_view kCorePropertiesTypeLowerCase =
    "http://schemas.openxmlformats.org/officedocument/2006/relationships/metadata/core-properties";

std::string asEntryName(std::string target)
{
    std::replace(target.begin(), target.end(), '/', '\\');
    return target;
}

}  // namespace

std::optional<std::size_t> findRelationshipsEntry(const zip::ZipDirectory& directory)
{
    for (std::size_t i = 0; i < zip::EntryCount(directory); ++i)
        if (zip::EntryFileName(directory, i) == ".rels" && zip::EntryPathName(directory, i) == "_rels\\") return i;
    return std::nullopt;
}

RelationshipTargets relationshipTargetsOf(const ParsedPart& relationships)
{
    RelationshipTargets targets;
    for (const pugi::xml_node child : relationships.root().children("Relationship")) {
        const std::string_view type = child.attribute("Type").value();
        if (type == kExtendedPropertiesType) targets.extended = child.attribute("Target").value();
        if (type == kCorePropertiesType || type == kCorePropertiesTypeLowerCase)
            targets.core = child.attribute("Target").value();
        if (!targets.extended.empty() && !targets.core.empty()) break;
    }
    return RelationshipTargets{asEntryName(std::move(targets.extended)), asEntryName(std::move(targets.core))};
}

std::optional<RelationshipTargets> FindRelationshipTargets(const ParsedPart& relationships)
{
    RelationshipTargets targets = relationshipTargetsOf(relationships);
    if (targets.extended.empty() || targets.core.empty()) return std::nullopt;
    return targets;
}

}  // namespace quorvane::package
