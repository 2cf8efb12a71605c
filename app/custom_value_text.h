// SPDX-License-Identifier: Apache-2.0
// A custom property's value typed as text on the "Custom Properties" page, read as the value to
// store for its type (change/custom_value_text.h) with dates in the display form the row editors
// write or in the ISO 8601 forms of convert/iso_date_time.h.
#pragma once

#include <QString>

#include <optional>
#include <string_view>

#include "convert/date_time.h"
#include "props/custom_property.h"

namespace quorvane::app {

// The value of `text` as `type`, or nullopt with the reason in `problem` ("'12x' is not a 32-bit
// integer"; for a date followed by examples of the forms it is read in).
std::optional<props::CustomValue> customValueOfText(std::string_view type, const QString& text, QString* problem);

// The local date-time of a custom date typed as `text`, in either form above; nullopt for a text
// that is neither.
std::optional<convert::DateTime> customDateOfText(const QString& text);

}  // namespace quorvane::app
