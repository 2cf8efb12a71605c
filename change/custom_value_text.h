// SPDX-License-Identifier: Apache-2.0
// A custom property's value given as text, read as the value to store for its type: the one
// reading shared by the command line and the window, which differ only in the form of a date.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/failure.h"
#include "convert/date_time.h"
#include "props/custom_property.h"

namespace quorvane::change {

// Reads a date in the caller's form as a local date-time; nullopt when it is none.
using DateReader = std::function<std::optional<convert::DateTime>(const std::string& text)>;

// The value of `text` as `type` (one of the five type names of props/custom_property.h), or why
// it is none (kind Conversion): "'12x' is not a 32-bit integer" (a leading '+' is taken), "'x' is
// not a number" (also for one that is not finite), "'x' is not yes or no" (yes, no, true, false,
// 1 and 0 in any letter case are), "'x' is not a date" (read by `readDate`), "'x' cannot be
// stored: a date must lie from ..." (convert/storable_date.h). Text is taken as it is.
Result<props::CustomValue> customValueOfText(std::string_view type, const std::string& text, const DateReader& readDate);

}  // namespace quorvane::change
