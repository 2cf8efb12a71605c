// The save dialog of the CSV export: filter "CSV File (*.CSV)", default extension ".CSV", asks
// before replacing a file. Tests install a chooser that answers without a window.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace quorvane::app {

// The chosen file name, or an empty text when the user cancelled.
QString chooseCsvFile(QWidget* parent);

using CsvFileChooser = std::function<QString()>;
// Installs `chooser` in place of the dialog (an empty function restores the dialog) and returns
// the one it replaces.
CsvFileChooser setCsvFileChooser(CsvFileChooser chooser);

}  // namespace quorvane::app
