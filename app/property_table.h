// SPDX-License-Identifier: Apache-2.0
// One of the two property tables of the main window: 14 rows in catalogue order, a fixed
// "Summary Information" column holding each row's label and a "Value" column holding its value
// text (empty = no value), optionally a check box on every row. The table also reports, before
// its rows move, every scroll or wheel turn, so that an editor floating over a cell can commit
// first.
#pragma once

#include <QTreeWidget>

namespace quorvane::app {

class PropertyTable : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int kLabelColumnWidthPx = 160;
    static constexpr int kRowHeightPx = 20;

    // The table with its 14 rows, each labelled from the property catalogue with an empty value;
    // `withCheckBoxes` puts an unchecked check box on every row.
    PropertyTable(const QString& objectName, bool withCheckBoxes, QWidget* parent);

    // The value text of `row` (0..13); setRowValue replaces it.
    QString rowValue(int row) const;
    void setRowValue(int row, const QString& value);

    // The selected row, or -1 when none is.
    int selectedRow() const;
    // Selects `row` and scrolls it fully into view.
    void selectRow(int row);
    // The row under a point in viewport coordinates, or -1.
    int rowAt(QPoint viewportPos) const;
    // True when viewport x lies strictly inside the "Value" column.
    bool isInsideValueColumn(int viewportX) const;
    // The "Value" cell of `row` in viewport coordinates.
    QRect valueCellRect(int row) const;

    // The "Value" column width for a table `tableWidthPx` wide.
    static int valueColumnWidthFor(int tableWidthPx);

signals:
    // A mouse button was released over the rows, at `viewportPos`.
    void clickedAt(QPoint viewportPos);
    // The rows are about to move: a scroll-bar action or a wheel turn over the table.
    void aboutToScroll();
    // F2, Enter or Return was pressed on the selected row `row`: its editor is asked for.
    void editRequested(int row);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
};

}  // namespace quorvane::app
