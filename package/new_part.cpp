#include "package/new_part.h"

#include <algorithm>

#include "package/custom_part.h"
#include "package/package_relationships.h"
#include "zip/zip_entry_extract.h"

namespace quorvane::package {
namespace {

// The root element of each part with the namespaces its elements use bound, so that a value
// written into it needs no declaration of its own.
constexpr std::string_view kCoreContent =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<cp:coreProperties "
    "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
    "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
    "xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"/>";
constexpr std::string_view kExtendedContent =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\" "
    "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\"/>";
constexpr std::string_view kCustomContent =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/custom-properties\" "
    "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\"/>";

bool entryNameTaken(const zip::ZipDirectory& directory, std::string_view name)
{
    return std::any_of(directory.entries.begin(), directory.entries.end(),
                       [name](const zip::ZipEntry& entry) { return zip::sameEntryName(entry.name, name); });
}

}  // namespace

const NewPartKind kNewCorePart{"docProps/core", kCoreContent, kCorePropertiesType,
                               "application/vnd.openxmlformats-package.core-properties+xml"};
const NewPartKind kNewExtendedPart{"docProps/app", kExtendedContent, kExtendedPropertiesType,
                                   "application/vnd.openxmlformats-officedocument.extended-properties+xml"};
const NewPartKind kNewCustomPart{"docProps/custom", kCustomContent, kCustomPropertiesType,
                                 "application/vnd.openxmlformats-officedocument.custom-properties+xml"};

std::string newPartEntryName(const zip::ZipDirectory& directory, const NewPartKind& kind)
{
    const std::string stem(kind.nameStem);
    std::string name = stem + ".xml";
    for (int n = 2; entryNameTaken(directory, name); ++n) name = stem + std::to_string(n) + ".xml";
    return name;
}

}  // namespace quorvane::package
