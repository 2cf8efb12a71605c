// SPDX-License-Identifier: Apache-2.0
// User-defined ("custom") document properties as both formats hold them, in the form every
// layer exchanges: a .ppt keeps them in the user-defined section of DocumentSummaryInformation
// ([MS-OLEPS] 2.16-2.18), a package in docProps/custom.xml (ECMA-376, custom properties).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvane::props {

// The type names shown and accepted for custom properties. A value of any other stored type is
// shown by the name of its stored type ("VT_BLOB", "vt:vector") and kept as it is.
inline constexpr std::string_view kCustomText = "text";
inline constexpr std::string_view kCustomInteger = "integer";
inline constexpr std::string_view kCustomNumber = "number";
inline constexpr std::string_view kCustomYesNo = "yes-no";
inline constexpr std::string_view kCustomDate = "date";

// One custom property as read: its name, type name and value text (dates as display text in
// local time, yes-no as "yes" or "no", values of other types as "").
struct CustomProperty {
    std::string name;
    std::string type;
    std::string value;
    friend bool operator==(const CustomProperty&, const CustomProperty&) = default;
};

// A value to store, already checked: `type` is one of the five names above and only the field
// of that type counts.
struct CustomValue {
    std::string_view type = kCustomText;
    std::string text;
    std::int32_t integer = 0;
    double number = 0;
    bool yesNo = false;
    std::uint64_t filetime100ns = 0;  // UTC, never 0
    // False for text given without a type (quorvane-cli's --custom NAME=VALUE): a property
    // stored with another type keeps it, the text read as that type (cli/custom_options.h).
    bool typeGiven = true;
};

// One change of the custom properties: set (add or replace) a property, remove one by name, or
// remove them all. Names are compared without regard to letter case.
struct CustomEdit {
    enum class Kind { Set, Remove, RemoveAll };
    Kind kind = Kind::Set;
    std::string name;
    CustomValue value;
};

// Whether two names are the same custom property: equal once ASCII letters are folded to lower
// case (the platform compares dictionary names case-insensitively, [MS-OLEPS] 2.17).
inline bool sameCustomName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

}  // namespace quorvane::props
