// SPDX-License-Identifier: Apache-2.0
// The window's text for a label that the toolkit-free core keeps in English: the names of the
// fourteen property rows and of the file times and attributes.
#pragma once

#include <QString>

#include <string_view>

namespace quorvane::app {

// `label` (props::catalogueRow(row).label or props::fileInfoLabel(index)) in the window's
// language; a label this file does not know is shown as the core has it.
QString coreLabelText(std::string_view label);

}  // namespace quorvane::app
