// SPDX-License-Identifier: Apache-2.0
#include "export/custom_columns.h"

#include <algorithm>
#include <map>

#include "export/csv_export.h"

namespace quorvane::exporting {
namespace {

// The key under which props::sameCustomName takes two names for the same: ASCII letters in
// lower case.
std::string foldedName(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return folded;
}

}  // namespace

std::vector<std::string> customColumnsOf(std::span<const std::vector<props::CustomProperty>> customs)
{
    std::map<std::string, std::string> spellingOfFolded;
    for (const std::vector<props::CustomProperty>& custom : customs)
        for (const props::CustomProperty& property : custom) spellingOfFolded.emplace(foldedName(property.name), property.name);
    std::vector<std::string> columns;
    columns.reserve(spellingOfFolded.size());
    for (auto& [folded, spelling] : spellingOfFolded) columns.push_back(std::move(spelling));
    // std::string compares as unsigned char, which is byte order.
    std::sort(columns.begin(), columns.end());
    return columns;
}

void appendCustomTitles(std::string& header, std::span<const std::string> columns)
{
    for (const std::string& column : columns) header += ',' + csvField(column);
}

void appendCustomValues(std::string& line, std::span<const std::string> columns,
                        const std::vector<props::CustomProperty>& custom)
{
    std::map<std::string, const std::string*> valueOfFolded;
    for (const props::CustomProperty& property : custom) valueOfFolded.emplace(foldedName(property.name), &property.value);
    for (const std::string& column : columns) {
        const auto found = valueOfFolded.find(foldedName(column));
        line += ',' + csvField(found == valueOfFolded.end() ? std::string_view() : std::string_view(*found->second));
    }
}

}  // namespace quorvane::exporting
