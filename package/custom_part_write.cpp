// SPDX-License-Identifier: Apache-2.0
#include "package/custom_part_write.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

#include "convert/storable_date.h"
#include "package/custom_part.h"
#include "package/part_text.h"

namespace quorvane::package {
namespace {

constexpr std::string_view kVariantTypesNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes";
// The FMTID of user-defined properties, which every property of the part carries.
constexpr const char* kUserDefinedFmtid = "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}";
constexpr int kFirstPid = 2;  // pids 0 and 1 are reserved, as in a property set

// The value element a Set writes: its local name in the vt namespace and its text.
struct ValueElement {
    std::string_view localName;
    std::string text;
};

// xsd:double text (XML Schema 2, 3.2.5): the shortest decimal that reads back as `number`.
std::string doubleText(double number)
{
    if (std::isnan(number)) return "NaN";
    if (std::isinf(number)) return number > 0 ? "INF" : "-INF";
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, number).ptr);
}

std::string w3cTextOfFileTime(std::uint64_t filetime100ns)
{
    constexpr std::int64_t kFileTimeOriginToUnixSeconds = 11'644'473'600;
    const std::time_t unixSeconds = std::time_t(filetime100ns / 10'000'000) - kFileTimeOriginToUnixSeconds;
    std::tm utc{};
    if (!::gmtime_r(&unixSeconds, &utc)) return "";
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday,
                  utc.tm_hour, utc.tm_min, utc.tm_sec);
    return text;
}

// The value element of a Set, or why the part cannot hold it.
Result<ValueElement> valueElementOf(const props::CustomEdit& edit)
{
    if (edit.name.empty()) return Failure(FailureKind::Conversion, "custom property without a name");
    const std::string label = "custom property " + edit.name;
    if (Failure refused = checkPartText(edit.name, label); refused.failed()) return refused;
    const props::CustomValue& value = edit.value;
    if (value.type == props::kCustomInteger) return ValueElement{"i4", std::to_string(value.integer)};
    if (value.type == props::kCustomNumber) return ValueElement{"r8", doubleText(value.number)};
    if (value.type == props::kCustomYesNo) return ValueElement{"bool", value.yesNo ? "true" : "false"};
    if (value.type == props::kCustomDate) {
        if (Failure refused = convert::storableFileTimeRefusal(value.filetime100ns, label); refused.failed()) return refused;
        return ValueElement{"filetime", w3cTextOfFileTime(value.filetime100ns)};
    }
    if (Failure refused = checkPartText(value.text, label); refused.failed()) return refused;
    return ValueElement{"lpwstr", value.text};
}

bool isProperty(const pugi::xml_node node) { return localNameOf(node.name()) == "property"; }

std::vector<pugi::xml_node> propertiesOf(const ParsedPart& part)
{
    std::vector<pugi::xml_node> found;
    for (const pugi::xml_node child : part.root().children())
        if (isProperty(child)) found.push_back(child);
    return found;
}

// The prefix the root binds to the vt namespace, declared on the root as "vt" (or "vt<n>" when
// that prefix is bound otherwise) when it binds none.
std::string variantTypesPrefix(ParsedPart& part)
{
    pugi::xml_node root = part.root();
    for (const pugi::xml_attribute attribute : root.attributes()) {
        const std::string_view name = attribute.name();
        if (name.starts_with("xmlns:") && attribute.value() == kVariantTypesNamespace)
            return std::string(name.substr(6));
    }
    std::string prefix = "vt";
    for (int n = 2; root.attribute(("xmlns:" + prefix).c_str()); ++n) prefix = "vt" + std::to_string(n);
    root.append_attribute(("xmlns:" + prefix).c_str()).set_value(std::string(kVariantTypesNamespace).c_str());
    return prefix;
}

// One more than the largest pid the part holds (at least kFirstPid); when that is past what an
// xsd:int holds, the smallest pid from kFirstPid on that no property uses.
int nextPid(const ParsedPart& part)
{
    std::set<int> used;
    for (const pugi::xml_node property : propertiesOf(part)) {
        const std::string_view text = property.attribute("pid").value();
        int pid = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), pid);
        if (error == std::errc() && end == text.data() + text.size()) used.insert(pid);
    }
    if (used.empty() || *used.rbegin() < kFirstPid) return kFirstPid;
    if (*used.rbegin() < std::numeric_limits<int>::max()) return *used.rbegin() + 1;
    int pid = kFirstPid;
    while (used.count(pid)) ++pid;  // fewer properties than ints: a free one comes first
    return pid;
}

void setValueElement(pugi::xml_node property, const std::string& prefix, const ValueElement& value)
{
    while (property.first_child()) property.remove_child(property.first_child());
    property.append_child((prefix + ":" + std::string(value.localName)).c_str()).text().set(value.text.c_str());
}

// Applies one edit to the part. True when it changed the part.
bool applyEdit(ParsedPart& part, const props::CustomEdit& edit, const std::optional<ValueElement>& value)
{
    using Kind = props::CustomEdit::Kind;
    const auto properties = propertiesOf(part);
    const auto named = [&edit](const pugi::xml_node property) {
        return props::sameCustomName(property.attribute("name").value(), edit.name);
    };
    if (edit.kind == Kind::Set) {
        const std::string prefix = variantTypesPrefix(part);
        // Every property of that name takes the value: a reader may show any of them.
        bool replaced = false;
        for (const pugi::xml_node property : properties) {
            if (!named(property)) continue;
            setValueElement(property, prefix, *value);
            replaced = true;
        }
        if (replaced) return true;
        const int pid = nextPid(part);
        pugi::xml_node added = part.root().append_child(nameInRootNamespace(part, "property").c_str());
        added.append_attribute("fmtid").set_value(kUserDefinedFmtid);
        added.append_attribute("pid").set_value(pid);
        added.append_attribute("name").set_value(edit.name.c_str());
        setValueElement(added, prefix, *value);
        return true;
    }
    bool removed = false;
    for (const pugi::xml_node property : properties) {
        if (edit.kind == Kind::Remove && !named(property)) continue;
        part.root().remove_child(property);
        removed = true;
    }
    return removed;
}

}  // namespace

Result<bool> applyCustomEdits(ParsedPart& custom, std::span<const props::CustomEdit> edits)
{
    std::vector<std::optional<ValueElement>> values;
    for (const props::CustomEdit& edit : edits) {
        if (edit.kind != props::CustomEdit::Kind::Set) {
            values.emplace_back();
            continue;
        }
        auto value = valueElementOf(edit);
        if (!value.ok()) return value.failure();
        values.emplace_back(std::move(value).value());
    }
    bool changed = false;
    for (std::size_t i = 0; i < edits.size(); ++i) changed = applyEdit(custom, edits[i], values[i]) || changed;
    return changed;
}

bool holdsCustomProperties(const ParsedPart& custom) { return !propertiesOf(custom).empty(); }

}  // namespace quorvane::package
