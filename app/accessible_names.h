// SPDX-License-Identifier: Apache-2.0
// The names assistive technology reads for the in-place editors of a table row, which say which
// row they edit (the main window names its other controls in main_form_accessible_names.cpp).
#pragma once

#include <QString>

namespace quorvane::app {

// The accessible name of the editor of a row labelled `rowLabel`: "<label> value".
QString rowValueName(const QString& rowLabel);
// The accessible names of the date and time pickers of a row labelled `rowLabel`.
QString rowDateName(const QString& rowLabel);
QString rowTimeName(const QString& rowLabel);

}  // namespace quorvane::app
