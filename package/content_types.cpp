// SPDX-License-Identifier: Apache-2.0
#include "package/content_types.h"

#include <algorithm>
#include <vector>

#include "zip/zip_entry_extract.h"

namespace quorvane::package {
namespace {

// The Override elements that name the part `entryName`.
std::vector<pugi::xml_node> overridesOf(const ParsedPart& contentTypes, std::string_view entryName)
{
    std::vector<pugi::xml_node> found;
    for (const pugi::xml_node child : contentTypes.root().children()) {
        if (localNameOf(child.name()) != "Override") continue;
        std::string_view partName = child.attribute("PartName").value();
        if (partName.starts_with('/')) partName.remove_prefix(1);
        if (zip::sameEntryName(partName, entryName)) found.push_back(child);
    }
    return found;
}

}  // namespace

std::string partNameOfEntry(std::string_view entryName)
{
    std::string partName = "/" + std::string(entryName);
    std::replace(partName.begin(), partName.end(), '\\', '/');
    return partName;
}

bool removeOverride(ParsedPart& contentTypes, std::string_view entryName)
{
    const auto found = overridesOf(contentTypes, entryName);
    for (const pugi::xml_node override : found) contentTypes.root().remove_child(override);
    return !found.empty();
}

bool addOverride(ParsedPart& contentTypes, std::string_view entryName, std::string_view contentType)
{
    if (!overridesOf(contentTypes, entryName).empty()) return false;
    pugi::xml_node added = contentTypes.root().append_child(nameInRootNamespace(contentTypes, "Override").c_str());
    added.append_attribute("PartName").set_value(partNameOfEntry(entryName).c_str());
    added.append_attribute("ContentType").set_value(std::string(contentType).c_str());
    return true;
}

}  // namespace quorvane::package
