// SPDX-License-Identifier: Apache-2.0
// Values that a package part can hold, checked before they are written into one. XML 1.0
// (2.2, production Char) admits tab, line feed, carriage return and every character from U+0020
// on except the surrogates, U+FFFE and U+FFFF; the core takes text as UTF-8. (Dates keep the
// bound of convert/storable_date.h, inside the four-digit years of a W3C date-time.)
#pragma once

#include <string_view>

#include "base/failure.h"

namespace quorvane::package {

// Failure{} when `text` is valid UTF-8 of characters that XML admits. Otherwise Conversion, naming
// the first offence and the row `label`: "text cannot be stored in a package part: control
// character U+000B in Title", "... character U+FFFE in Title", "... invalid UTF-8 in Title".
Failure checkPartText(std::string_view text, std::string_view label);

}  // namespace quorvane::package
