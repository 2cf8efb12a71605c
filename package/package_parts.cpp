#include "package/package_parts.h"

#include "package/package_relationships.h"
#include "zip/zip_entry_extract.h"

namespace quorvane::package {
namespace {

std::optional<PropertyPart> readPart(RandomAccessFile& file, const zip::ZipDirectory& directory, const std::string& name)
{
    const auto index = zip::findEntry(directory, name);
    if (!index) return std::nullopt;
    const auto bytes = zip::readEntryData(file, directory, *index);
    if (!bytes || bytes->empty()) return std::nullopt;
    return PropertyPart{*index, parsePart(name, *bytes)};
}

}  // namespace

std::optional<PropertyParts> readPropertyParts(RandomAccessFile& file, const zip::ZipDirectory& directory)
{
    if (!findRelationshipsEntry(directory)) return std::nullopt;
    const auto relationshipBytes = zip::ExtractEntryToMemory(file, directory, kRelationshipsEntryName);
    if (relationshipBytes.empty()) return std::nullopt;
    const auto targets = FindRelationshipTargets(parsePart(kRelationshipsEntryName, relationshipBytes));
    if (!targets) return std::nullopt;
    auto extended = readPart(file, directory, targets->extended);
    if (!extended) return std::nullopt;
    auto core = readPart(file, directory, targets->core);
    if (!core) return std::nullopt;
    return PropertyParts{std::move(*extended), std::move(*core)};
}

}  // namespace quorvane::package
