// The lines of the file list (ListView1): each line holds a file's full path and its status,
// shown as the status picture. Commands address lines by index, top to bottom.
#pragma once

#include <string>

#include "change/file_status.h"

class QTreeWidget;

namespace quorvane::app {

// File statuses, as the status pictures show them.
using change::FileStatus;
using change::kChanged;
using change::kChangeFailed;
using change::kUnchanged;
using change::kUnreadable;

int lineCount(const QTreeWidget& list);

// The full path of line `line`, as the file system spells it (bytes, not display text).
std::string linePath(const QTreeWidget& list, int line);

// The status of line `line`.
int lineStatus(const QTreeWidget& list, int line);

// Sets the status of line `line` and its picture.
void setLineStatus(QTreeWidget& list, int line, int status);

// Adds a line for `path` at the bottom, with status unchanged; returns its index.
int appendLine(QTreeWidget& list, const std::string& path);

// The index of the selected line, or -1 when none is selected.
int selectedLine(const QTreeWidget& list);

// Selects line `line` (and makes it current), or clears the selection for -1 or a line that
// does not exist. The list reports the change, which runs the display of the selected file.
void selectLine(QTreeWidget& list, int line);

// True when some line's path equals `path` exactly (bytes compared, letter case included).
bool isListed(const QTreeWidget& list, const std::string& path);

// Clears the selection, then selects the first line (when there is one), so that the display of
// the selected file shows the first file again as it now is; what a batch run and a batch export
// do when they end.
void reselectFirstLine(QTreeWidget& list);

}  // namespace quorvane::app
