// SPDX-License-Identifier: Apache-2.0
// The save dialog of the CSV export: filter "CSV File" matching ".csv" in any letter case,
// default extension ".csv", asks before replacing a file, starts in the folder a dialog was last
// answered in. Tests install a chooser that answers without a window.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace quorvane::app {

// The chosen file name with the suffix rule of csvFileName() applied (not to the name of an
// existing folder), or an empty text when the user cancelled. An answer is remembered as the folder of the next dialog.
QString chooseCsvFile(QWidget* parent);

// The name a typed save name stands for: ".csv" is added when the file name has no suffix of its
// own ("report" -> "report.csv", "report." -> "report.csv"); a name with a suffix, in any letter
// case and of any kind ("report.CSV", "report.txt"), is kept as typed. A leading '.' of a hidden
// file's name is no suffix.
QString csvFileName(const QString& typed);

using CsvFileChooser = std::function<QString()>;
// Installs `chooser` in place of the dialog (an empty function restores the dialog) and returns
// the one it replaces. The chooser's answer goes through the same suffix rule.
CsvFileChooser setCsvFileChooser(CsvFileChooser chooser);

}  // namespace quorvane::app
