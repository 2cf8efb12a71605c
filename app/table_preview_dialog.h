// SPDX-License-Identifier: Apache-2.0
// The preview of "Apply values from table…": one line per file the table names, with a box to
// leave it out, and under it one line per value that would change ("Title: 'old' -> 'new'"); a
// file whose change is refused (its reason on the line under it), or that nothing would change,
// has no box. A table
// refused as a whole lists its refusals (row, column, reason) and nothing can be applied. It
// hands back the files chosen; the command runs the change.
#pragma once

#include <QDialog>

#include <vector>

#include "table/table_plan.h"

class QDialogButtonBox;
class QLabel;
class QTreeWidget;

namespace quorvane::app {

class TablePreviewDialog : public QDialog {
    Q_OBJECT
public:
    // Shows `plan` of the table file `tableName`.
    TablePreviewDialog(const table::TablePlan& plan, const QString& tableName, QWidget* parent = nullptr);

    // The files still ticked, as indexes into the plan's paths; none for a refused table.
    std::vector<int> chosenFiles() const;

    QLabel* PreviewSummary;
    QTreeWidget* PreviewLines;
    QDialogButtonBox* PreviewButtons;  // Apply (off for a refused table, or when no file is ticked) and Cancel

protected:
    // Keeps the one column as wide as the view.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showFiles(const table::TablePlan& plan);
    void showRefusals(const table::TablePlan& plan);
    void followTicks();
};

}  // namespace quorvane::app
