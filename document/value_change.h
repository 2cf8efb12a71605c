// SPDX-License-Identifier: Apache-2.0
// One value a change of a document alters, as the plan lists it for people and for scripts, and
// the comparisons of a document's values before and after its edits that make the list.
#pragma once

#include <string>
#include <vector>

#include "props/custom_property.h"
#include "props/row_value.h"

namespace quorvane::document {

struct ValueChange {
    std::string name;   // stable: a row's machine name, "custom:<name>", "thumbnail", "last_user_name"
    std::string label;  // "Title", "Custom <name>", "thumbnail", "last user name"
    std::string from;   // display text; "(absent)" for a custom property that is new
    std::string to;     // display text; "(removed)" for what goes
    friend bool operator==(const ValueChange&, const ValueChange&) = default;
};

// Appends a change for every row whose text differs, in catalogue order.
void addRowChanges(const props::RowTexts& before, const props::RowTexts& after, std::vector<ValueChange>& changes);

// Appends the custom properties `after` differs from `before` in, by name (letter case ignored):
// a value or type that changed, a property removed, then each property added.
void addCustomChanges(const std::vector<props::CustomProperty>& before, const std::vector<props::CustomProperty>& after,
                      std::vector<ValueChange>& changes);

// The removal of a thumbnail, and of the last user's name.
ValueChange thumbnailRemoval();
ValueChange lastUserNameRemoval();

}  // namespace quorvane::document
