// SPDX-License-Identifier: Apache-2.0
// A custom property's value typed as text on the "Custom Properties" page, read as the value to
// store for its type (change/custom_value_text.h) with dates in the display form the row editors
// take.
#pragma once

#include <QString>

#include <optional>
#include <string_view>

#include "props/custom_property.h"

namespace quorvane::app {

// The value of `text` as `type`, or nullopt with the reason in `problem` ("'12x' is not a 32-bit
// integer"; for a date followed by an example of the form it is read in).
std::optional<props::CustomValue> customValueOfText(std::string_view type, const QString& text, QString* problem);

}  // namespace quorvane::app
