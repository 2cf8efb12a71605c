// SPDX-License-Identifier: Apache-2.0
// What the file list shows besides its lines: the optional columns, chosen in the header's
// context menu (the same menu as View > Columns) and remembered in the settings store; sorting
// by a click on a column's header or from View > Sort by; the filter box, which hides the lines
// that hold its text in none of the shown columns; and the count of shown and listed files in
// the status bar. The values of the columns come from the background reads of LineValueReader.
#pragma once

#include <QList>
#include <QObject>
#include <QTimer>

class QLabel;
class QLineEdit;
class QMenu;
class QTreeWidget;

namespace quorvane::app {

class FileLine;
class LineValueReader;

class FileListView : public QObject {
    Q_OBJECT
public:
    // Sets up the columns of `list` as the settings store has them, and takes `filter` as its
    // filter box and `count` as the label of the count.
    FileListView(QTreeWidget& list, QLineEdit& filter, QLabel& count);

    LineValueReader& reader() const { return *reader_; }
    // View > Columns and the header's context menu: one checkable item per optional column.
    QMenu* columnsMenu() const { return columnsMenu_; }
    // View > Sort by: one item per shown column, File Name first.
    QMenu* sortMenu() const { return sortMenu_; }

    // Shows or hides `column` and stores the shown columns.
    void showColumn(int column, bool shown);
    // Sorts the lines by `column`: ascending, or the other way when they are sorted by it already.
    void sortBy(int column);
    // Hides the lines that do not hold the filter's text (letter case ignored) in a shown column.
    void applyFilter();

private:
    void fitColumn(int column);
    void fillSortMenu();
    bool lineMatches(const FileLine& line) const;
    void filterLines(const QList<FileLine*>& lines);
    void scheduleCount();
    void showCount();

    QTreeWidget& list_;
    QLineEdit& filter_;
    QLabel& count_;
    LineValueReader* reader_;
    QMenu* columnsMenu_;
    QMenu* sortMenu_;
    QTimer filterDelay_;
    bool countScheduled_ = false;
};

}  // namespace quorvane::app
