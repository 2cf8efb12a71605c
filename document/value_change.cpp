// SPDX-License-Identifier: Apache-2.0
#include "document/value_change.h"

#include <algorithm>

#include "props/catalogue.h"

namespace quorvane::document {

void addRowChanges(const props::RowTexts& before, const props::RowTexts& after, std::vector<ValueChange>& changes)
{
    for (int row = 0; row < props::kRowCount; ++row) {
        const std::string& from = before[std::size_t(row)];
        const std::string& to = after[std::size_t(row)];
        const props::PropertyRow& entry = props::catalogueRow(row);
        if (from != to) changes.push_back({std::string(entry.name), std::string(entry.label), from, to});
    }
}

void addCustomChanges(const std::vector<props::CustomProperty>& before, const std::vector<props::CustomProperty>& after,
                      std::vector<ValueChange>& changes)
{
    const auto find = [](const std::vector<props::CustomProperty>& in, const std::string& name) {
        return std::find_if(in.begin(), in.end(),
                            [&name](const props::CustomProperty& property) { return props::sameCustomName(property.name, name); });
    };
    // The value alone, and its type too where the type is what changes.
    const auto shown = [](const props::CustomProperty& property, bool withType) {
        return withType ? property.value + " (" + property.type + ")" : property.value;
    };
    for (const props::CustomProperty& old : before) {
        const auto now = find(after, old.name);
        if (now == after.end()) {
            changes.push_back({"custom:" + old.name, "Custom " + old.name, old.value, "(removed)"});
        } else if (now->value != old.value || now->type != old.type) {
            const bool typeChanged = now->type != old.type;
            changes.push_back({"custom:" + old.name, "Custom " + old.name, shown(old, typeChanged), shown(*now, typeChanged)});
        }
    }
    for (const props::CustomProperty& added : after)
        if (find(before, added.name) == before.end())
            changes.push_back({"custom:" + added.name, "Custom " + added.name, "(absent)", added.value});
}

ValueChange thumbnailRemoval() { return {"thumbnail", "thumbnail", "(present)", "(removed)"}; }

ValueChange lastUserNameRemoval() { return {"last_user_name", "last user name", "(present)", "(removed)"}; }

}  // namespace quorvane::document
