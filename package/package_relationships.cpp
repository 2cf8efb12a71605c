// SPDX-License-Identifier: Apache-2.0
#include "package/package_relationships.h"

#include <algorithm>
#include <string_view>

#include "zip/zip_central_dir.h"

namespace quorvane::package {
namespace {

// The form of ECMA-376 Part 1 that some writers use (LibreOffice among them).
constexpr std::string_view kCorePropertiesTypeLowerCase =
    "http://schemas.openxmlformats.org/officedocument/2006/relationships/metadata/core-properties";

}  // namespace

std::string asEntryName(std::string target)
{
    std::replace(target.begin(), target.end(), '/', '\\');
    return target;
}

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

std::vector<pugi::xml_node> relationshipsOfType(const ParsedPart& relationships,
                                                std::initializer_list<std::string_view> types)
{
    std::vector<pugi::xml_node> found;
    for (const pugi::xml_node child : relationships.root().children()) {
        if (localNameOf(child.name()) != "Relationship") continue;
        const std::string_view type = child.attribute("Type").value();
        if (std::find(types.begin(), types.end(), type) != types.end()) found.push_back(child);
    }
    return found;
}

std::string targetEntryName(pugi::xml_node relationship)
{
    std::string target = relationship.attribute("Target").value();
    if (target.starts_with('/')) target.erase(0, 1);
    return asEntryName(std::move(target));
}

bool isExternalRelationship(pugi::xml_node relationship)
{
    return std::string_view(relationship.attribute("TargetMode").value()) == "External";
}

void appendRelationship(ParsedPart& relationships, std::string_view type, std::string_view target)
{
    pugi::xml_node root = relationships.root();
    const auto idTaken = [&root](const std::string& id) {
        for (const pugi::xml_node child : root.children())
            if (id == child.attribute("Id").value()) return true;
        return false;
    };
    std::size_t number = std::size_t(std::distance(root.children().begin(), root.children().end())) + 1;
    while (idTaken("rId" + std::to_string(number))) ++number;
    pugi::xml_node added = root.append_child(nameInRootNamespace(relationships, "Relationship").c_str());
    added.append_attribute("Id").set_value(("rId" + std::to_string(number)).c_str());
    added.append_attribute("Type").set_value(std::string(type).c_str());
    added.append_attribute("Target").set_value(std::string(target).c_str());
}

}  // namespace quorvane::package
