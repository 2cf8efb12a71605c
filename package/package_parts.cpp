// SPDX-License-Identifier: Apache-2.0
#include "package/package_parts.h"

#include "package/package_relationships.h"
#include "zip/zip_entry_extract.h"

namespace quorvane::package {
namespace {

Failure partMissing(const std::string& what)
{
    return {FailureKind::NotFound, "package part missing: " + what};
}

// The bytes of the part `name` (an entry name), never empty.
Result<std::vector<std::byte>> partBytes(RandomAccessFile& file, const zip::ZipDirectory& directory,
                                         const std::string& name, std::size_t& index)
{
    const auto found = partEntry(directory, name);
    if (!found.ok()) return found.failure();
    index = *found;
    // The inflater stops at the size the directory states, so bounding that size bounds the bytes.
    if (directory.entries[index].uncompressedSize > kMaxPartBytes)
        return Failure(FailureKind::Unsupported, "package part too large: " + partNameForPeople(name));
    auto bytes = zip::entryBytes(file, directory, index);
    if (bytes.ok() && bytes->empty())
        return Failure(FailureKind::Damaged, "package part empty: " + partNameForPeople(name));
    if (!bytes.ok()) return bytes;
    if (Failure outOfBounds = checkPartBounds(name, *bytes); outOfBounds.failed()) return outOfBounds;
    return bytes;
}

Result<ParsedPart> parse(const std::string& name, std::span<const std::byte> bytes, MalformedXml onMalformedXml)
{
    if (onMalformedXml == MalformedXml::Throw) return parsePart(name, bytes);
    return parseWellFormedPart(name, bytes);
}

Result<PropertyPart> readPart(RandomAccessFile& file, const zip::ZipDirectory& directory, const std::string& name,
                              MalformedXml onMalformedXml)
{
    std::size_t index = 0;
    const auto bytes = partBytes(file, directory, name, index);
    if (!bytes.ok()) return bytes.failure();
    auto part = parse(name, *bytes, onMalformedXml);
    if (!part.ok()) return part.failure();
    return PropertyPart{index, std::move(part).value()};
}

}  // namespace

Result<std::size_t> partEntry(const zip::ZipDirectory& directory, const std::string& name)
{
    if (const auto found = zip::findEntry(directory, name)) return *found;
    if (const std::size_t named = zip::entriesNamed(directory, name); named > 1)
        return Failure(FailureKind::Damaged, "package part duplicated: " + partNameForPeople(name) + " (" +
                                                 std::to_string(named) + " entries bear its name)");
    return partMissing(partNameForPeople(name));
}

Result<PropertyParts> loadPropertyParts(RandomAccessFile& file, const zip::ZipDirectory& directory,
                                        MalformedXml onMalformedXml)
{
    if (!findRelationshipsEntry(directory)) return partMissing(partNameForPeople(kRelationshipsEntryName));
    std::size_t relationshipsIndex = 0;
    const auto relationshipBytes = partBytes(file, directory, kRelationshipsEntryName, relationshipsIndex);
    if (!relationshipBytes.ok()) return relationshipBytes.failure();
    const auto relationships = parse(kRelationshipsEntryName, *relationshipBytes, onMalformedXml);
    if (!relationships.ok()) return relationships.failure();
    const RelationshipTargets targets = relationshipTargetsOf(*relationships);
    if (targets.extended.empty()) return partMissing("extended-properties relationship");
    if (targets.core.empty()) return partMissing("core-properties relationship");
    auto extended = readPart(file, directory, targets.extended, onMalformedXml);
    if (!extended.ok()) return extended.failure();
    auto core = readPart(file, directory, targets.core, onMalformedXml);
    if (!core.ok()) return core.failure();
    return PropertyParts{std::move(extended).value(), std::move(core).value()};
}

std::optional<PropertyParts> readPropertyParts(RandomAccessFile& file, const zip::ZipDirectory& directory)
{
    auto parts = loadPropertyParts(file, directory, MalformedXml::Throw);
    if (!parts.ok()) return std::nullopt;
    return std::move(parts).value();
}

Result<ParsedPart> readBoundedPart(RandomAccessFile& file, const zip::ZipDirectory& directory, const std::string& name)
{
    std::size_t index = 0;
    const auto bytes = partBytes(file, directory, name, index);
    if (!bytes.ok()) return bytes.failure();
    return parseWellFormedPart(name, *bytes);
}

}  // namespace quorvane::package
