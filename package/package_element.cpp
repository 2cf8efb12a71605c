// SPDX-License-Identifier: Apache-2.0
#include "package/package_element.h"

#include <optional>
#include <span>
#include <vector>
#include <unordered_map>

#include "base/error.h"

namespace quorvane::package {
namespace {

constexpr std::string_view kCorePropertiesNamespace = "http://schemas.openxmlformats.org/package/2006/metadata/core-properties";
constexpr std::string_view kDublinCoreNamespace = "http://purl.org/dc/elements/1.1/";
constexpr std::string_view kDublinCoreTermsNamespace = "http://purl.org/dc/terms/";
constexpr std::string_view kSchemaInstanceNamespace = "http://www.w3.org/2001/XMLSchema-instance";
constexpr std::string_view kExtendedPropertiesNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties";

struct SplitName {
    std::string_view prefix;  // "" for none
    std::string_view local;
};

SplitName split(std::string_view qualifiedName)
{
    const auto colon = qualifiedName.find(':');
    if (colon == std::string_view::npos) return {"", qualifiedName};
    return {qualifiedName.substr(0, colon), qualifiedName.substr(colon + 1)};
}

// The namespace that a prefix of the property table stands for.
std::string_view tableNamespace(std::string_view prefix)
{
    if (prefix == "cp") return kCorePropertiesNamespace;
    if (prefix == "dc") return kDublinCoreNamespace;
    if (prefix == "dcterms") return kDublinCoreTermsNamespace;
    if (prefix == "xsi") return kSchemaInstanceNamespace;
    return kExtendedPropertiesNamespace;
}

std::string declarationName(std::string_view prefix)
{
    return prefix.empty() ? std::string("xmlns") : "xmlns:" + std::string(prefix);
}

// The namespace that `prefix` is bound to where `node` stands, or nullopt when it is unbound.
std::optional<std::string_view> namespaceOf(pugi::xml_node node, std::string_view prefix)
{
    const std::string declaration = declarationName(prefix);
    for (; node.type() == pugi::node_element; node = node.parent()) {
        if (const pugi::xml_attribute a = node.attribute(declaration.c_str())) return std::string_view(a.value());
    }
    return std::nullopt;
}

// A prefix that the root binds to `namespaceUri` ("" when it is the root's default namespace),
// the table's own prefix first; nullopt when the root binds none.
std::optional<std::string> rootPrefixFor(pugi::xml_node root, std::string_view namespaceUri, std::string_view tablePrefix)
{
    if (namespaceOf(root, tablePrefix) == namespaceUri) return std::string(tablePrefix);
    std::optional<std::string> found;
    for (const pugi::xml_attribute a : root.attributes()) {
        const std::string_view name = a.name();
        if (a.value() != namespaceUri) continue;
        if (name == "xmlns" && !found) found = "";
        if (name.starts_with("xmlns:")) return std::string(name.substr(6));
    }
    return found;
}

bool holdsSingleTextOrNothing(pugi::xml_node element)
{
    const pugi::xml_node first = element.first_child();
    if (!first) return true;
    return first == element.last_child() && (first.type() == pugi::node_pcdata || first.type() == pugi::node_cdata);
}

std::string notSingleTextWords(const ParsedPart& part, pugi::xml_node element)
{
    return "The element '" + std::string(element.name()) + "' of the part '" + part.name +
           "' does not hold a single text node";
}

[[noreturn]] void throwNotSingleText(const ParsedPart& part, pugi::xml_node element)
{
    throw Error(notSingleTextWords(part, element));
}

Failure notSingleText(const ParsedPart& part, pugi::xml_node element)
{
    return Failure(FailureKind::Unsupported, notSingleTextWords(part, element));
}

std::string qualified(std::string_view prefix, std::string_view local)
{
    return prefix.empty() ? std::string(local) : std::string(prefix) + ":" + std::string(local);
}

// A new element for the table name `wanted`, appended as the root's last child and bound to the
// table's namespace.
pugi::xml_node appendElement(pugi::xml_node root, SplitName wanted)
{
    const std::string_view namespaceUri = tableNamespace(wanted.prefix);
    if (const auto prefix = rootPrefixFor(root, namespaceUri, wanted.prefix))
        return root.append_child(qualified(*prefix, wanted.local).c_str());
    pugi::xml_node element = root.append_child(qualified(wanted.prefix, wanted.local).c_str());
    element.append_attribute(declarationName(wanted.prefix).c_str()).set_value(std::string(namespaceUri).c_str());
    return element;
}

// The package standard requires xsi:type="dcterms:W3CDTF" on created and modified; the value is
// a qualified name, so its prefix must be bound to the terms namespace as well.
void addW3cDateType(pugi::xml_node element)
{
    const std::string_view elementPrefix = split(element.name()).prefix;
    std::string termsPrefix = std::string(elementPrefix);
    if (elementPrefix.empty()) {
        termsPrefix = rootPrefixFor(element.parent(), kDublinCoreTermsNamespace, "dcterms").value_or("");
        if (termsPrefix.empty()) {
            termsPrefix = "dcterms";
            element.append_attribute("xmlns:dcterms").set_value(std::string(kDublinCoreTermsNamespace).c_str());
        }
    }
    std::string instancePrefix = rootPrefixFor(element.parent(), kSchemaInstanceNamespace, "xsi").value_or("");
    if (instancePrefix.empty()) {
        instancePrefix = "xsi";
        element.append_attribute("xmlns:xsi").set_value(std::string(kSchemaInstanceNamespace).c_str());
    }
    element.append_attribute((instancePrefix + ":type").c_str()).set_value((termsPrefix + ":W3CDTF").c_str());
}

}  // namespace

std::vector<pugi::xml_node> findChildElements(const ParsedPart& part, std::string_view qualifiedName)
{
    const SplitName wanted = split(qualifiedName);
    const std::string_view wantedNamespace = tableNamespace(wanted.prefix);
    // The root's declarations are gathered once: looking them up for each child would take the
    // number of children times the number of the root's attributes.
    std::unordered_map<std::string_view, std::string_view> rootBindings;
    for (const pugi::xml_attribute a : part.root().attributes()) {
        const std::string_view name = a.name();
        if (name == "xmlns") rootBindings.try_emplace("", a.value());
        if (name.starts_with("xmlns:")) rootBindings.try_emplace(name.substr(6), a.value());
    }
    std::vector<pugi::xml_node> found;
    for (const pugi::xml_node child : part.root().children()) {
        if (child.type() != pugi::node_element) continue;
        const SplitName name = split(child.name());
        std::optional<std::string_view> namespaceUri;
        if (const pugi::xml_attribute own = child.attribute(declarationName(name.prefix).c_str()))
            namespaceUri = own.value();
        else if (const auto bound = rootBindings.find(name.prefix); bound != rootBindings.end())
            namespaceUri = bound->second;
        const bool matches = namespaceUri ? *namespaceUri == wantedNamespace && name.local == wanted.local
                                          : qualifiedName == child.name();
        if (matches) found.push_back(child);
    }
    return found;
}

pugi::xml_node findChildElement(const ParsedPart& part, std::string_view qualifiedName)
{
    const std::vector<pugi::xml_node> found = findChildElements(part, qualifiedName);
    return found.empty() ? pugi::xml_node() : found.front();
}

Result<std::string> elementText(const ParsedPart& part, pugi::xml_node element)
{
    if (!element) return std::string();
    if (!holdsSingleTextOrNothing(element)) return notSingleText(part, element);
    return std::string(element.first_child().value());
}

Result<std::string> readChildElementText(const ParsedPart& part, std::string_view qualifiedName)
{
    return elementText(part, findChildElement(part, qualifiedName));
}

std::string ReadChildElementText(const ParsedPart& part, std::string_view qualifiedName)
{
    auto text = readChildElementText(part, qualifiedName);
    if (!text.ok()) throwNotSingleText(part, findChildElement(part, qualifiedName));
    return std::move(text).value();
}

Failure setElementsText(ParsedPart& part, std::span<const pugi::xml_node> elements, std::string_view qualifiedName,
                        std::string_view value)
{
    const bool removable = qualifiedName == "cp:lastPrinted" || qualifiedName == "TotalTime";
    if (value.empty() && removable) {
        for (const pugi::xml_node element : elements) part.root().remove_child(element);
        return {};
    }
    // Every copy is checked before any changes, so that a refusal leaves the part as it was.
    for (const pugi::xml_node element : elements)
        if (!holdsSingleTextOrNothing(element)) return notSingleText(part, element);
    std::vector<pugi::xml_node> targets(elements.begin(), elements.end());
    if (targets.empty()) {
        targets.push_back(appendElement(part.root(), split(qualifiedName)));
        if (qualifiedName == "dcterms:created" || qualifiedName == "dcterms:modified") addW3cDateType(targets.back());
    }
    for (pugi::xml_node element : targets) {
        if (const pugi::xml_node text = element.first_child()) element.remove_child(text);
        if (!value.empty()) element.append_child(pugi::node_pcdata).set_value(std::string(value).c_str());
    }
    return {};
}

Failure setChildElementText(ParsedPart& part, std::string_view qualifiedName, std::string_view value)
{
    return setElementsText(part, findChildElements(part, qualifiedName), qualifiedName, value);
}

void SetChildElementText(ParsedPart& part, std::string_view qualifiedName, std::string_view value)
{
    if (setChildElementText(part, qualifiedName, value).failed())
        throwNotSingleText(part, findChildElement(part, qualifiedName));
}

}  // namespace quorvane::package
