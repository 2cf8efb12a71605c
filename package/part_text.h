// Values that a package part can hold, checked before they are written into one. XML 1.0
// (2.2, production Char) admits tab, line feed, carriage return and every character from U+0020
// on except the surrogates, U+FFFE and U+FFFF; the core takes text as UTF-8. A package date is a
// W3C date-time whose year has four digits (ECMA-376 Part 2, 11.1: dcterms:W3CDTF).
#pragma once

#include <string_view>

#include "base/failure.h"

namespace quorvane::package {

// Failure{} when `text` is valid UTF-8 of characters that XML admits. Otherwise Conversion, naming
// the first offence and the row `label`: "text cannot be stored in a package part: control
// character U+000B in Title", "... character U+FFFE in Title", "... invalid UTF-8 in Title".
Failure checkPartText(std::string_view text, std::string_view label);

// Failure{} when `w3cText` is "yyyy-mm-ddThh:nn:ssZ" with a year from 0001 to 9999. Otherwise
// Conversion: "date cannot be stored in a package part: <label> leaves the years 1 to 9999 in UTC".
Failure checkW3cYear(std::string_view w3cText, std::string_view label);

}  // namespace quorvane::package
