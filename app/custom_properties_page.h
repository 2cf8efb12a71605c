// SPDX-License-Identifier: Apache-2.0
// The "Custom Properties" page: the custom properties of the file selected in the list, in a
// table of Name, Type and Value lines that the user edits, adds to ("Add") and removes from
// ("Remove", Delete), and the edits that turn what was read into what the table shows, which
// "Apply" writes. The page reads and writes no file: the main window shows a read on it and
// hands its edits to the change engine.
#pragma once

#include <QPersistentModelIndex>
#include <QWidget>

#include <optional>
#include <vector>

#include "props/custom_property.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace quorvane::app {

class CustomPropertiesPage : public QWidget {
    Q_OBJECT
public:
    enum Column { kNameColumn = 0, kTypeColumn = 1, kValueColumn = 2 };

    explicit CustomPropertiesPage(QWidget* parent = nullptr);

    // Shows the properties read from a file, in stored order, and keeps them as what the edits
    // are computed against. A property of a type the page cannot edit shows its stored type's
    // name and cannot be edited (it can be removed).
    void showRead(const std::vector<props::CustomProperty>& properties);
    // Shows why the file's custom properties could not be read: the table empties and only
    // the reason is left; "Add", "Remove" and "Apply" are off until a read succeeds.
    void showReadFailure(const QString& reason);
    // Empties the table and forgets what was read: no file is selected.
    void clear();

    // The edits that turn what was read into what the table shows, in the order they are to be
    // applied: first a Remove for each property removed or renamed, then a Set for each line
    // that is new, renamed, or has a changed type or value; empty when nothing changed. nullopt,
    // with the reason naming the property in `problem`, when a line has no name, two lines have
    // the same name (letter case aside), or a value is not one its type takes; the cell at fault
    // is then marked (see markedCell), until its text changes or a file is shown.
    std::optional<std::vector<props::CustomEdit>> edits(QString* problem);
    // The cell that the last edits() refused, shown marked with its reason as tool tip; invalid
    // when none is.
    QModelIndex markedCell() const { return marked_; }

    // Commits the cell being edited, if any, as leaving it does: "Apply" by its mnemonic keeps
    // the focus where it is.
    void finishEditing();

    // "Add": a new line at the bottom (type text), its name opened for typing.
    void addLine();
    // "Remove" and Delete in the table: the selected lines go.
    void removeSelectedLines();

    QLabel* CustomReadState;
    QTableWidget* CustomTable;
    QCheckBox* CustomBackupBox;
    QPushButton* CustomAddButton;
    QPushButton* CustomRemoveButton;
    QPushButton* CustomApplyButton;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Sizes the "Type" column for its widest text and its drop-down list, the "Name" column for
    // the widest name as far as the values keep room for a dozen characters.
    void fitColumns();
    // Turns "Add", "Remove" and "Apply" on or off together.
    void enableEditing(bool enabled);
    void appendLine(const props::CustomProperty& property, int readIndex);
    // "The file has no custom properties." shows until a line is added.
    void showReadState();
    // Marks the cell at `row`, `column` as refused for `reason`; unmark() takes the mark away.
    void mark(int row, int column, const QString& reason);
    void unmark();

    std::vector<props::CustomProperty> read_;
    QPersistentModelIndex marked_;
    int typeListWidthPx_ = 0;
};

}  // namespace quorvane::app
