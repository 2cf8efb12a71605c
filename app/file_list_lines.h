// SPDX-License-Identifier: Apache-2.0
// The lines of the file list (ListView1): each line holds a file's full path, its status, shown
// as the status picture, and the reason of its last failure, shown as its tool tip. Commands
// address lines by index, top to bottom.
#pragma once

#include <QString>

#include <string>

#include "base/failure.h"
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

// The reason of the last failure kept for line `line`; "" when there is none.
QString lineFailure(const QTreeWidget& list, int line);

// Keeps `reason` as the last failure of line `line` and shows it as the line's tool tip; an
// empty `reason` forgets the failure, and the tool tip shows the full path again.
void setLineFailure(QTreeWidget& list, int line, const QString& reason);

// The words a line keeps for `failure` of the step `step`: "<step>: <the failure's text>"; ""
// when `failure` is a success, so that the result can go to setLineFailure as it is.
QString failureReason(const QString& step, const Failure& failure);

// Adds a line for `path` at the bottom, with status unchanged and no failure; returns its index.
int appendLine(QTreeWidget& list, const std::string& path);

// The index of the selected line, or -1 when none is selected.
int selectedLine(const QTreeWidget& list);

// Selects line `line` (and makes it current), or clears the selection for -1 or a line that
// does not exist. The list reports the change, which runs the display of the selected file.
void selectLine(QTreeWidget& list, int line);

// Clears the selection, then selects the first line (when there is one), so that the display of
// the selected file shows the first file again as it now is; what a batch run and a batch export
// do when they end.
void reselectFirstLine(QTreeWidget& list);

}  // namespace quorvane::app
