// A custom property's value typed as text on the "Custom Properties" page, read as the value to
// store for its type: integers and numbers as the page shows them (C digits, '.' for the decimal
// point), yes-no as "yes" or "no", dates in the display form the row editors take.
#pragma once

#include <QString>

#include <optional>
#include <string_view>

#include "props/custom_property.h"

namespace quorvane::app {

// The value of `text` as `type` (one of the five type names of props/custom_property.h), or
// nullopt with the reason in `problem` ("'12x' is not a 32-bit integer"; for a date with an
// example of the form it takes): an integer outside
// 32 bits, a number that does not read whole or is not finite, yes-no other than yes, no, true, false, 1 or 0
// (any letter case), a date that is no display text or lies outside the years 1601 to 9999 in
// UTC. Text is taken as it is.
std::optional<props::CustomValue> customValueOfText(std::string_view type, const QString& text, QString* problem);

}  // namespace quorvane::app
