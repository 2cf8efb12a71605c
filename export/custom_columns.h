// SPDX-License-Identifier: Apache-2.0
// The custom-property columns an export may add after its 23 standard ones: one column per
// custom property name found across the exported files, each cell the value that file's
// property shows (props/custom_property.h), empty where the file has no such property.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "props/custom_property.h"

namespace quorvane::exporting {

// The column names for the custom properties of the files, `customs` holding each file's in
// the files' order: every name once (names that props::sameCustomName takes for the same are
// one), spelled as first seen, sorted by the byte order of that spelling.
std::vector<std::string> customColumnsOf(std::span<const std::vector<props::CustomProperty>> customs);

// Appends to `header`, a full header line (csv_export.h, no comma at its end), one field per
// column holding its name.
void appendCustomTitles(std::string& header, std::span<const std::string> columns);

// Appends to `line`, a full file line, one field per column: the value of the first property of
// `custom` whose name is that column's (props::sameCustomName), or "" when none is.
void appendCustomValues(std::string& line, std::span<const std::string> columns,
                        const std::vector<props::CustomProperty>& custom);

}  // namespace quorvane::exporting
