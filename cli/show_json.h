// SPDX-License-Identifier: Apache-2.0
// The JSON object `quorvane-cli show --json` prints for one file: stable snake_case keys (the
// catalogue's machine names), numbers as JSON numbers, yes/no as booleans, absent values as null,
// instants as RFC 3339 text with the offset (convert/machine_date_text.h), whatever the locale.
// docs/machine-contract.md describes the object.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "fileinfo/file_snapshot.h"
#include "props/catalogue.h"
#include "props/custom_property.h"

namespace quorvane::cli {

// What `show` read of one file.
struct FileReport {
    std::string path;
    std::optional<std::string> format;  // "ppt" or "pptx" as its content announces; nullopt for neither
    std::string failure;                // "" when readable
    props::RowTexts rows;               // display texts, "" where absent
    std::optional<fileinfo::FileSnapshot> snapshot;
    std::vector<props::CustomProperty> custom;
};

// The object of `file` on one line: {"path", "path_bytes" (only when the path is not UTF-8),
// "format", "readable", "failure", "properties", "times", "attributes", "custom"}.
std::string jsonObjectOf(const FileReport& file);

// The JSON value of a display text of a local date-time: its RFC 3339 text, or null for "" or a
// text that reads as no date.
std::string jsonInstantOfDisplayText(const std::string& displayText);

}  // namespace quorvane::cli
