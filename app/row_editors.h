// SPDX-License-Identifier: Apache-2.0
// The in-place editors of the property tables: the text editor Edit1 and its multi-line form
// MultiLineEdit (Comments, a value with line breaks, or any text row after Shift+Enter), the
// number editor Panel5 (Edit3, UpDown1, "Blank" CheckBox6) and the date editor Panel3
// (DateTimePicker7, DateTimePicker8, "Blank" CheckBox15). Each floats over the "Value" cell of
// the table it was last opened on and writes its value into that table's selected row when it is
// committed: when the focus leaves it, on Enter, when the table scrolls, and through
// CloseRowEditors. Escape in any of them discards the edit. Only the value texts of the tables
// change here.
#pragma once

#include <QObject>

#include "app/date_time_pickers.h"

class QCheckBox;
class QKeyEvent;
class QDateEdit;
class QFrame;
class QLineEdit;
class QPlainTextEdit;
class QTimeEdit;
class QWidget;

namespace quorvane::app {

class PropertyTable;
class UpDown;

class RowEditors : public QObject {
    Q_OBJECT
public:
    static constexpr int kUpDownMaximum = 32767;

    // Builds the three editors, hidden, floating inside `startTable`.
    RowEditors(PropertyTable* startTable, QObject* parent);

    // Installs the scroll guard on `table`: a scroll or wheel turn over it first commits and
    // hides every open editor and gives the table the focus.
    void guardScrolling(PropertyTable* table);

    // A click at `viewportPos` in `table`: selects the row under it and, when the click lies
    // strictly inside the "Value" column, opens the editor that fits the row.
    void openAt(PropertyTable* table, QPoint viewportPos);

    // Opens the editor for `row` over its "Value" cell in `table`: the number editor on rows 6
    // and 12, the date editor on rows 10, 11 and 13, the multi-line text editor on Comments and
    // on a value that holds a line break, the text editor on every other row.
    void ShowRowEditor(PropertyTable* table, int row);

    // Commits and hides each open editor, in the order text (either form), date, number.
    void CloseRowEditors();

    // Commits: each writes its editor's value into the selected row of its table and hides it.
    void Edit1Exit();
    void MultiLineEditExit();
    void Panel5Exit();
    void Panel3Exit();
    // Leaving the number box empty puts "1" into it.
    void Edit3Exit();

    QLineEdit* Edit1;
    QPlainTextEdit* MultiLineEdit;
    QFrame* Panel5;
    QLineEdit* Edit3;
    UpDown* UpDown1;
    QCheckBox* CheckBox6;
    DateTimeCellEditor* Panel3;
    QDateEdit* DateTimePicker7;
    QTimeEdit* DateTimePicker8;
    QCheckBox* CheckBox15;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Enter commits, Escape discards; both give the focus back to the table. Shift+Enter goes on
    // in the multi-line editor with a line break at the cursor.
    bool Edit1KeyDown(const QKeyEvent* key);
    // Enter commits, Shift+Enter breaks the line, Escape discards.
    bool MultiLineEditKeyDown(const QKeyEvent* key);
    // Opens the multi-line editor over `row` of `table` with `text`, the cursor at `cursor`.
    void showMultiLineEditor(PropertyTable* table, int row, const QString& text, int cursor);
    // Hides `editor` without a commit, so that its row keeps its value exactly, and gives the
    // focus to `table`.
    static void discard(QWidget* editor, PropertyTable* table);
    // Lets through only Backspace, Enter and the digits of the typed characters; true = the
    // character was discarded.
    bool Edit3KeyPress(const QString& text);
    // Enter in the number or date editor (its "Blank" box included) commits it by giving the
    // focus back to its table.
    bool returnFocusOnEnter(QWidget* editor, int key);

    void onFocusChanged(QWidget* oldFocus, QWidget* newFocus);
    void commitAndFocus(PropertyTable* table);
    // Moves `editor` into the cells of `table` unless it already floats there.
    void attach(QWidget* editor, PropertyTable*& editorTable, PropertyTable* table);
    // Both forms of the text editor float over the same table.
    void attachTextEditors(PropertyTable* table);
    void placeOver(QWidget* editor, PropertyTable*& editorTable, PropertyTable* table, int row,
                   int leftInsetPx);
    void buildNumberEditor(QWidget* parent);
    void buildDateEditor(QWidget* parent);

    PropertyTable* textTable_;
    PropertyTable* numberTable_;
    PropertyTable* dateTable_;
};

}  // namespace quorvane::app
