// SPDX-License-Identifier: Apache-2.0
// Reading the JSON (RFC 8259) a value table (table/value_table.h) may be: a bounded
// recursive-descent reader into a small tree, members kept in their order.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/failure.h"

namespace quorvane::table {

struct JsonValue {
    enum class Kind { Null, Boolean, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    std::string text;  // a string's value (UTF-8), or a number as written
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    // The member named `name`, or nullptr.
    const JsonValue* member(std::string_view name) const;
};

// The value that the whole of `text` holds (blanks around it allowed). The failure (Damaged)
// names the line: "line 3: a string is not closed"; nesting deeper than 64 levels is refused.
Result<JsonValue> readJson(std::string_view text);

}  // namespace quorvane::table
