// SPDX-License-Identifier: Apache-2.0
// Reading a test file's properties through the one read the program makes of a file
// (document::DocumentEdit), without putting its times back.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "props/catalogue.h"
#include "props/custom_property.h"

namespace quorvane::testing {

// The 14 rows as the display shows them, or why the file cannot be read.
Result<props::RowTexts> documentRowsOrFailure(const std::string& path);
// The same, nullopt on a failure.
std::optional<props::RowTexts> documentRows(const std::string& path);
// The custom properties in stored order, or why they cannot be read.
Result<std::vector<props::CustomProperty>> documentCustom(const std::string& path);

}  // namespace quorvane::testing
