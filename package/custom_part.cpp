// SPDX-License-Identifier: Apache-2.0
#include "package/custom_part.h"

#include <string_view>

#include "convert/w3c_date_time.h"
#include "package/package_parts.h"
#include "package/package_relationships.h"

namespace quorvane::package {
namespace {

props::CustomProperty shownProperty(std::string name, const pugi::xml_node value)
{
    const std::string_view kind = localNameOf(value.name());
    const std::string text = value.text().get();
    if (kind == "lpwstr" || kind == "lpstr") return {std::move(name), std::string(props::kCustomText), text};
    if (kind == "i4") return {std::move(name), std::string(props::kCustomInteger), text};
    if (kind == "r8") return {std::move(name), std::string(props::kCustomNumber), text};
    if (kind == "bool")
        return {std::move(name), std::string(props::kCustomYesNo), text == "true" || text == "1" ? "yes" : "no"};
    if (kind == "filetime") return {std::move(name), std::string(props::kCustomDate), convert::W3cDateTimeToDisplayText(text)};
    return {std::move(name), "vt:" + std::string(kind), ""};
}

}  // namespace

std::vector<pugi::xml_node> customPropertiesRelationships(const ParsedPart& relationships)
{
    return relationshipsOfType(relationships, {kCustomPropertiesType, kCustomPropertiesTypeLowerCase});
}

std::vector<props::CustomProperty> customPropertiesOfPart(const ParsedPart& part)
{
    std::vector<props::CustomProperty> shown;
    for (const pugi::xml_node property : part.root().children()) {
        if (localNameOf(property.name()) != "property") continue;
        const std::string name = property.attribute("name").value();
        if (name.empty()) continue;
        shown.push_back(shownProperty(name, property.find_child([](const pugi::xml_node n) { return n.type() == pugi::node_element; })));
    }
    return shown;
}

}  // namespace quorvane::package
