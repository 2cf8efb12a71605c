// SPDX-License-Identifier: Apache-2.0
// The open dialog of "Apply values from table…": a CSV or JSON table (table/value_table.h), the
// filter matching ".csv" and ".json" in any letter case, starting in the folder a dialog was last
// answered in. Tests install a chooser that answers without a window.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace quorvane::app {

// The chosen table file, or an empty text when the user cancelled. An answer is remembered as
// the folder of the next dialog.
QString chooseValueTable(QWidget* parent);

using ValueTableChooser = std::function<QString()>;

// Installs `chooser` in place of the dialog (an empty function restores the dialog) and returns
// the one it replaces.
ValueTableChooser setValueTableChooser(ValueTableChooser chooser);

}  // namespace quorvane::app
