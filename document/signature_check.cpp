// SPDX-License-Identifier: Apache-2.0
#include "document/signature_check.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "base/random_access_file.h"
#include "cfb/cfb_compound_file.h"
#include "package/package_parts.h"
#include "package/package_relationships.h"
#include "package/package_xml.h"
#include "zip/zip_central_dir.h"
#include "zip/zip_entry_extract.h"

namespace quorvane::document {
namespace {

constexpr std::string_view kSignatureOriginType =
    "http://schemas.openxmlformats.org/package/2006/relationships/digital-signature/origin";
constexpr std::string_view kSignatureType =
    "http://schemas.openxmlformats.org/package/2006/relationships/digital-signature/signature";

// The names of the root storage's children that hold signatures ([MS-OFFCRYPTO] 2.5.1, 2.5.2:
// the binary "_signatures" storage and "\x05DigitalSignature" stream, the XML "_xmlsignatures"
// storage; "MsoDigitalSignature" is the stream older writers used).
constexpr std::array<std::u16string_view, 4> kCompoundFileSignatureNames{
    u"_xmlsignatures", u"_signatures", u"\x0005" u"DigitalSignature", u"MsoDigitalSignature"};

// The part name (without its leading '/') that `target` names, relative to `sourceFolder` (a
// part name's folder, "" or ending in '/'), after ECMA-376 Part 2, 9.3 / RFC 3986 5.2: an
// absolute target starts from the root, "." and ".." segments are resolved.
std::string resolvePartName(std::string_view sourceFolder, std::string_view target)
{
    std::string_view path = target;
    std::string joined;
    if (!path.empty() && path.front() == '/') path.remove_prefix(1);
    else joined = sourceFolder;
    joined += path;
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= joined.size()) {
        const std::size_t end = std::min(joined.find('/', start), joined.size());
        const std::string segment = joined.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    std::string name;
    for (const std::string& segment : segments) name += (name.empty() ? "" : "/") + segment;
    return name;
}

std::string folderOf(std::string_view partName)
{
    const auto slash = partName.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(partName.substr(0, slash + 1));
}

// The entry name of part `partName`, as the package reader names entries.
std::string entryNameOf(std::string partName)
{
    std::replace(partName.begin(), partName.end(), '/', '\\');
    return partName;
}

// The targets of the relationships of `type` in the relationships part held by entry `index`,
// resolved against `sourceFolder`; none when the part cannot be read or parsed within the bounds
// of every part.
std::vector<std::string> targetsOfType(RandomAccessFile& file, const zip::ZipDirectory& directory,
                                       const std::string& entryName, std::string_view type,
                                       std::string_view sourceFolder)
{
    std::vector<std::string> targets;
    const auto relationships = package::readBoundedPart(file, directory, entryName);
    if (!relationships.ok()) return targets;
    for (const pugi::xml_node relationship : package::relationshipsOfType(*relationships, {type}))
        if (!package::isExternalRelationship(relationship))
            targets.push_back(resolvePartName(sourceFolder, relationship.attribute("Target").value()));
    return targets;
}

}  // namespace

bool packageHasSignature(RandomAccessFile& file, const zip::ZipDirectory& directory)
{
    if (!package::findRelationshipsEntry(directory)) return false;
    for (const std::string& origin :
         targetsOfType(file, directory, package::kRelationshipsEntryName, kSignatureOriginType, "")) {
        const std::string originFolder = folderOf(origin);
        const std::string originRelationships = originFolder + "_rels/" + origin.substr(originFolder.size()) + ".rels";
        for (const std::string& signature :
             targetsOfType(file, directory, entryNameOf(originRelationships), kSignatureType, originFolder))
            if (zip::findEntry(directory, entryNameOf(signature))) return true;
    }
    return false;
}

bool compoundFileHasSignature(cfb::CompoundFile& compoundFile)
{
    for (const std::u16string_view name : kCompoundFileSignatureNames)
        if (compoundFile.directory().findChild(cfb::kRootEntryId, name)) return true;
    return false;
}

Failure signedDocumentRefusal()
{
    return Failure(FailureKind::Permission, "signed document: changing it would invalidate its signature");
}

}  // namespace quorvane::document
