// SPDX-License-Identifier: Apache-2.0
// The form in which an export writes dates: the window's display text (the user's locale), or
// the locale-free "YYYY-MM-DD HH:MM:SS" of the command line, which `quorvane-cli set` and
// `apply` read back.
#pragma once

#include <string>
#include <vector>

#include "props/custom_property.h"

namespace quorvane::exporting {

enum class DateForm { Display, IsoLocal };

// `displayText`, a local date-time as the display writes it, in `form`: unchanged for Display
// and for "" or a text that reads as no date; "YYYY-MM-DD HH:MM:SS" for IsoLocal (midnight
// included, which the display text leaves out).
std::string dateTextInForm(const std::string& displayText, DateForm form);

// The custom properties with the values of their dates in `form`.
std::vector<props::CustomProperty> customInForm(std::vector<props::CustomProperty> custom, DateForm form);

}  // namespace quorvane::exporting
