#include "package/custom_part.h"

#include <algorithm>
#include <string_view>

#include "convert/w3c_date_time.h"
#include "package/package_file.h"
#include "package/package_parts.h"
#include "package/package_relationships.h"
#include "zip/zip_central_dir.h"

namespace quorvane::package {
namespace {

constexpr std::string_view kCustomPropertiesType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties";
constexpr std::string_view kCustomPropertiesTypeLowerCase =
    "http://schemas.openxmlformats.org/officedocument/2006/relationships/custom-properties";

std::string_view localName(std::string_view qualifiedName)
{
    const auto colon = qualifiedName.find(':');
    return colon == std::string_view::npos ? qualifiedName : qualifiedName.substr(colon + 1);
}

props::CustomProperty shownProperty(std::string name, const pugi::xml_node value)
{
    const std::string_view kind = localName(value.name());
    const std::string text = value.text().get();
    if (kind == "lpwstr" || kind == "lpstr") return {std::move(name), std::string(props::kCustomText), text};
    if (kind == "i4") return {std::move(name), std::string(props::kCustomInteger), text};
    if (kind == "r8") return {std::move(name), std::string(props::kCustomNumber), text};
    if (kind == "bool")
        return {std::move(name), std::string(props::kCustomYesNo), text == "true" || text == "1" ? "yes" : "no"};
    if (kind == "filetime") return {std::move(name), std::string(props::kCustomDate), convert::W3cDateTimeToDisplayText(text)};
    return {std::move(name), "vt:" + std::string(kind), ""};
}

// The entry name of the custom part, "" when the relationships name none. A target is taken
// relative to the package root, a leading "/" dropped.
std::string customPartEntryName(const ParsedPart& relationships)
{
    for (const pugi::xml_node child : relationships.root().children()) {
        if (localName(child.name()) != "Relationship") continue;
        const std::string_view type = child.attribute("Type").value();
        if (type != kCustomPropertiesType && type != kCustomPropertiesTypeLowerCase) continue;
        std::string target = child.attribute("Target").value();
        if (target.starts_with('/')) target.erase(0, 1);
        std::replace(target.begin(), target.end(), '/', '\\');
        return target;
    }
    return {};
}

}  // namespace

std::vector<props::CustomProperty> customPropertiesOfPart(const ParsedPart& part)
{
    std::vector<props::CustomProperty> shown;
    for (const pugi::xml_node property : part.root().children()) {
        if (localName(property.name()) != "property") continue;
        const std::string name = property.attribute("name").value();
        if (name.empty()) continue;
        shown.push_back(shownProperty(name, property.find_child([](const pugi::xml_node n) { return n.type() == pugi::node_element; })));
    }
    return shown;
}

Result<std::vector<props::CustomProperty>> readPackageCustomProperties(const std::string& path)
{
    auto file = openPackageFile(path, OpenMode::ReadShared);
    if (!file.ok()) return file.failure();
    const auto directory = zip::readArchiveDirectory(file.value());
    if (!directory.ok()) return directory.failure();
    if (!findRelationshipsEntry(*directory))
        return Failure(FailureKind::NotFound, "package part missing: " + partNameForPeople(kRelationshipsEntryName));
    const auto relationships = readBoundedPart(file.value(), *directory, kRelationshipsEntryName);
    if (!relationships.ok()) return relationships.failure();
    const std::string name = customPartEntryName(*relationships);
    if (name.empty()) return std::vector<props::CustomProperty>{};
    const auto part = readBoundedPart(file.value(), *directory, name);
    if (!part.ok()) return part.failure();
    return customPropertiesOfPart(*part);
}

}  // namespace quorvane::package
