#include "package/package_thumbnail.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "package/content_types.h"
#include "package/package_change.h"
#include "package/package_relationships.h"
#include "zip/zip_entry_extract.h"

namespace quorvane::package {
namespace {

constexpr std::string_view kThumbnailType =
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/thumbnail";

}  // namespace

Failure removePackageThumbnail(const std::string& path)
{
    auto opened = openPackageForChange(path);
    if (!opened.ok()) return opened.failure();
    PackageChange& change = opened.value();
    if (!findRelationshipsEntry(change.directory))
        return Failure(FailureKind::NotFound, "package part missing: " + partNameForPeople(kRelationshipsEntryName));
    auto relationships = readEditablePart(change, kRelationshipsEntryName);
    if (!relationships.ok()) return relationships.failure();
    ParsedPart& relationshipsPart = relationships.value().part;
    const auto thumbnails = relationshipsOfType(relationshipsPart, {kThumbnailType});
    if (thumbnails.empty()) return {};

    auto contentTypes = readEditablePart(change, kContentTypesEntryName);
    if (!contentTypes.ok()) return contentTypes.failure();
    bool overrideRemoved = false;
    std::vector<std::size_t> removals;
    for (const pugi::xml_node relationship : thumbnails) {
        if (!isExternalRelationship(relationship)) {
            const std::string entryName = targetEntryName(relationship);
            const auto index = zip::findEntry(change.directory, entryName);
            if (!index) return Failure(FailureKind::NotFound, "package part missing: " + partNameForPeople(entryName));
            if (std::find(removals.begin(), removals.end(), *index) == removals.end()) removals.push_back(*index);
            overrideRemoved = removeOverride(contentTypes.value().part, entryName) || overrideRemoved;
        }
        relationshipsPart.root().remove_child(relationship);
    }

    auto relationshipBytes = bytesToStore(relationshipsPart);
    if (!relationshipBytes.ok()) return relationshipBytes.failure();
    std::vector<zip::EntryReplacement> replacements{{relationships.value().entryIndex, relationshipBytes.value()}};
    Result<std::vector<std::byte>> contentTypeBytes = std::vector<std::byte>{};
    if (overrideRemoved) {
        contentTypeBytes = bytesToStore(contentTypes.value().part);
        if (!contentTypeBytes.ok()) return contentTypeBytes.failure();
        replacements.push_back({contentTypes.value().entryIndex, contentTypeBytes.value()});
    }
    return commitPackageChange(change, {.replacements = replacements, .removals = removals});
}

}  // namespace quorvane::package
