// SPDX-License-Identifier: Apache-2.0
#include "app/row_editors.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDateTime>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimeEdit>

#include <algorithm>

#include "app/accessible_names.h"
#include "app/date_time_pickers.h"
#include "app/property_table.h"
#include "app/up_down.h"
#include "app/visible_frames.h"
#include "props/catalogue.h"
#include "convert/display_text.h"
#include "base/error.h"

namespace quorvane::app {
namespace {

constexpr int kPanelHeightPx = 21;  // taller where a large font makes the rows taller
// The multi-line editor shows this many lines at once, fewer where the table is lower.
constexpr int kMultiLineEditorLines = 5;

// True when `widget` is `editor` or lies inside it, pop-up windows of its pickers included.
bool isWithin(const QWidget* widget, const QWidget* editor)
{
    for (; widget; widget = widget->parentWidget())
        if (widget == editor) return true;
    return false;
}

// The decimal form of `text` read as an integer, or "1" when it is none.
QString integerTextOr1(const QString& text)
{
    bool isInteger = false;
    const int number = text.trimmed().toInt(&isInteger);
    return QString::number(isInteger ? number : 1);
}

// An editor counts as open until it is hidden itself, also while the page holding its table is
// not shown (switching pages moves the focus away from it, which must still commit it).
bool isOpen(const QWidget* editor) { return !editor->isHidden(); }

bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

// A row's value that the one-line editor cannot show as it is.
bool holdsLineBreak(const QString& value)
{
    return value.contains(u'\n') || value.contains(u'\r') || value.contains(QChar::LineSeparator) ||
           value.contains(QChar::ParagraphSeparator);
}

QFrame* newEditorPanel(const QString& objectName, QWidget* parent)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(objectName);
    panel->setAutoFillBackground(true);
    panel->setBackgroundRole(QPalette::Base);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    return panel;
}

}  // namespace

RowEditors::RowEditors(PropertyTable* startTable, QObject* parent)
    : QObject(parent), textTable_(startTable), numberTable_(startTable), dateTable_(startTable)
{
    QWidget* cells = startTable->viewport();
    Edit1 = new QLineEdit(cells);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setFrame(false);
    Edit1->installEventFilter(this);
    MultiLineEdit = new QPlainTextEdit(cells);
    MultiLineEdit->setObjectName(QStringLiteral("MultiLineEdit"));
    MultiLineEdit->setTabChangesFocus(true);
    MultiLineEdit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    MultiLineEdit->installEventFilter(this);
    buildNumberEditor(cells);
    buildDateEditor(cells);
    Edit1->hide();
    MultiLineEdit->hide();
    Panel5->hide();
    Panel3->hide();
    connect(qApp, &QApplication::focusChanged, this, &RowEditors::onFocusChanged);
}

void RowEditors::buildNumberEditor(QWidget* parent)
{
    Panel5 = newEditorPanel(QStringLiteral("Panel5"), parent);
    Edit3 = new QLineEdit(QStringLiteral("0"), Panel5);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), Edit3));
    Edit3->setFixedWidth(64);
    Edit3->installEventFilter(this);
    UpDown1 = new UpDown(QStringLiteral("UpDown1"), Edit3, 0, kUpDownMaximum, Panel5);
    CheckBox6 = new QCheckBox(tr("Blank"), Panel5);
    CheckBox6->setObjectName(QStringLiteral("CheckBox6"));
    CheckBox6->installEventFilter(this);
    keepOutlineVisibleOnBase(CheckBox6);
    auto* layout = static_cast<QHBoxLayout*>(Panel5->layout());
    layout->setSpacing(0);
    layout->addWidget(Edit3);
    layout->addWidget(UpDown1);
    layout->addSpacing(4);
    layout->addWidget(CheckBox6);
    layout->addStretch();
}

void RowEditors::buildDateEditor(QWidget* parent)
{
    Panel3 = new DateTimeCellEditor(QStringLiteral("Panel3"), QStringLiteral("DateTimePicker7"),
                                    QStringLiteral("DateTimePicker8"), parent);
    DateTimePicker7 = Panel3->datePicker();
    DateTimePicker8 = Panel3->timePicker();
    CheckBox15 = new QCheckBox(tr("Blank"), Panel3);
    CheckBox15->setObjectName(QStringLiteral("CheckBox15"));
    CheckBox15->installEventFilter(this);
    keepOutlineVisibleOnBase(CheckBox15);
    DateTimePicker7->installEventFilter(this);
    DateTimePicker8->installEventFilter(this);
    // A date or time the user sets is a value: the row is no longer blank. Opening the editor
    // sets the pickers before it ticks "Blank" for an empty row.
    for (QDateTimeEdit* picker : {static_cast<QDateTimeEdit*>(DateTimePicker7), static_cast<QDateTimeEdit*>(DateTimePicker8)})
        connect(picker, &QDateTimeEdit::dateTimeChanged, CheckBox15, [this] { CheckBox15->setChecked(false); });
    Panel3->row()->addWidget(CheckBox15);
    Panel3->row()->addStretch();
}

void RowEditors::guardScrolling(PropertyTable* table)
{
    connect(table, &PropertyTable::aboutToScroll, this, [this, table] { commitAndFocus(table); });
}

void RowEditors::openAt(PropertyTable* table, QPoint viewportPos)
{
    attachTextEditors(table);
    const int row = table->rowAt(viewportPos);
    if (row < 0) return;
    table->selectRow(row);
    if (!table->isInsideValueColumn(viewportPos.x())) return;
    ShowRowEditor(table, table->selectedRow());
}

void RowEditors::attach(QWidget* editor, PropertyTable*& editorTable, PropertyTable* table)
{
    if (editorTable == table) return;
    editor->setParent(table->viewport());
    editorTable = table;
}

void RowEditors::attachTextEditors(PropertyTable* table)
{
    if (textTable_ == table) return;
    MultiLineEdit->setParent(table->viewport());
    attach(Edit1, textTable_, table);
}

void RowEditors::placeOver(QWidget* editor, PropertyTable*& editorTable, PropertyTable* table, int row,
                           int leftInsetPx)
{
    attach(editor, editorTable, table);
    const QRect cell = table->valueCellRect(row);
    // The editor covers the rest of the cell, or more where its controls need more room.
    editor->setGeometry(cell.left() + leftInsetPx, cell.top(),
                        std::max(editor->sizeHint().width(), cell.width() - leftInsetPx),
                        std::max(kPanelHeightPx, cell.height() + 1));
}

void RowEditors::ShowRowEditor(PropertyTable* table, int row)
{
    const QString value = table->rowValue(row);
    // Assistive technology reads which row an editor edits.
    const QString label = table->topLevelItem(row)->text(0);
    for (QWidget* editor : {static_cast<QWidget*>(Edit1), static_cast<QWidget*>(MultiLineEdit), static_cast<QWidget*>(Edit3)})
        editor->setAccessibleName(rowValueName(label));
    DateTimePicker7->setAccessibleName(rowDateName(label));
    DateTimePicker8->setAccessibleName(rowTimeName(label));
    if (props::isNumberRow(row)) {
        placeOver(Panel5, numberTable_, table, row, 2);
        Panel5->show();
        CheckBox6->setChecked(value.trimmed().isEmpty());
        Edit3->setText(integerTextOr1(value));
        Edit3->setFocus();
        Edit3->selectAll();
    } else if (props::isDateTimeRow(row)) {
        try {
            Panel3->setValue(convert::DisplayTextToDateTime(value.toStdString()));
        } catch (const quorvane::Error&) {
            // Not a date (an empty value included): the editor starts at the current time.
            Panel3->setToNow();
        }
        const bool mayBeBlank = props::isBlankableDateTimeRow(row);
        CheckBox15->setHidden(!mayBeBlank);
        CheckBox15->setChecked(mayBeBlank && value.isEmpty());
        placeOver(Panel3, dateTable_, table, row, 2);
        Panel3->show();
        focusFirstField(DateTimePicker7);
    } else if (row == props::kCommentsRow || holdsLineBreak(value)) {
        showMultiLineEditor(table, row, value, int(value.size()));
        MultiLineEdit->selectAll();
    } else {
        attachTextEditors(table);
        const QRect cell = table->valueCellRect(row);
        Edit1->setGeometry(cell.left() + 3, cell.top(), cell.width() - 4, cell.height());
        Edit1->setText(value);
        Edit1->show();
        Edit1->setFocus();
        Edit1->selectAll();
    }
}

void RowEditors::showMultiLineEditor(PropertyTable* table, int row, const QString& text, int cursor)
{
    attachTextEditors(table);
    const QRect cell = table->valueCellRect(row);
    const QRect cells = table->viewport()->rect();
    const QMargins frame = MultiLineEdit->contentsMargins();
    const int heightPx = std::min(cells.height(), MultiLineEdit->fontMetrics().lineSpacing() * kMultiLineEditorLines +
                                                      int(2 * MultiLineEdit->document()->documentMargin()) +
                                                      frame.top() + frame.bottom());
    // From the row's top down, moved up as far as the table's lower edge asks.
    const int topPx = std::max(cells.top(), std::min(cell.top(), cells.bottom() + 1 - heightPx));
    MultiLineEdit->setGeometry(cell.left() + 3, topPx, cell.width() - 4, heightPx);
    MultiLineEdit->setPlainText(text);
    MultiLineEdit->document()->setModified(false);
    QTextCursor at = MultiLineEdit->textCursor();
    at.setPosition(std::min(cursor, int(MultiLineEdit->document()->characterCount()) - 1));
    MultiLineEdit->setTextCursor(at);
    MultiLineEdit->show();
    MultiLineEdit->raise();
    MultiLineEdit->setFocus();
}

void RowEditors::CloseRowEditors()
{
    if (isOpen(Edit1)) Edit1Exit();
    if (isOpen(MultiLineEdit)) MultiLineEditExit();
    if (isOpen(Panel3)) Panel3Exit();
    if (isOpen(Panel5)) Panel5Exit();
}

void RowEditors::Edit1Exit()
{
    if (const int row = textTable_->selectedRow(); row >= 0) textTable_->setRowValue(row, Edit1->text());
    Edit1->hide();
}

void RowEditors::MultiLineEditExit()
{
    // An unedited value goes back as it was read, its own line breaks (CR LF, CR) included.
    if (const int row = textTable_->selectedRow(); row >= 0 && MultiLineEdit->document()->isModified())
        textTable_->setRowValue(row, MultiLineEdit->toPlainText());
    MultiLineEdit->hide();
}

void RowEditors::Panel5Exit()
{
    Edit3->setText(integerTextOr1(Edit3->text()));
    if (const int row = numberTable_->selectedRow(); row >= 0)
        numberTable_->setRowValue(row, CheckBox6->isChecked() ? QString() : Edit3->text());
    Panel5->hide();
}

void RowEditors::Panel3Exit()
{
    const bool blank = !CheckBox15->isHidden() && CheckBox15->isChecked();
    if (const int row = dateTable_->selectedRow(); row >= 0) {
        const std::string shown =
            blank ? std::string() : convert::DateTimeToDisplayText(Panel3->value());
        dateTable_->setRowValue(row, QString::fromStdString(shown));
    }
    Panel3->hide();
}

void RowEditors::Edit3Exit()
{
    if (Edit3->text().isEmpty()) Edit3->setText(QStringLiteral("1"));
}

void RowEditors::commitAndFocus(PropertyTable* table)
{
    const bool anyOpen = isOpen(Edit1) || isOpen(MultiLineEdit) || isOpen(Panel3) || isOpen(Panel5);
    if (!anyOpen) return;
    CloseRowEditors();
    table->setFocus();
}

void RowEditors::onFocusChanged(QWidget* oldFocus, QWidget* newFocus)
{
    // Focus that leaves the program's windows altogether comes back to the same widget later.
    if (!newFocus) return;
    if (oldFocus == Edit3 && newFocus != Edit3) Edit3Exit();
    if (isOpen(Edit1) && !isWithin(newFocus, Edit1)) Edit1Exit();
    if (isOpen(MultiLineEdit) && !isWithin(newFocus, MultiLineEdit)) MultiLineEditExit();
    if (isOpen(Panel3) && !isWithin(newFocus, Panel3)) Panel3Exit();
    if (isOpen(Panel5) && !isWithin(newFocus, Panel5)) Panel5Exit();
}

bool RowEditors::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* keyEvent = static_cast<const QKeyEvent*>(event);
    if (watched == Edit1) return Edit1KeyDown(keyEvent);
    if (watched == MultiLineEdit) return MultiLineEditKeyDown(keyEvent);
    if (keyEvent->key() == Qt::Key_Escape) {
        if (isWithin(static_cast<QWidget*>(watched), Panel5)) discard(Panel5, numberTable_);
        else if (isWithin(static_cast<QWidget*>(watched), Panel3)) discard(Panel3, dateTable_);
        else return QObject::eventFilter(watched, event);
        return true;
    }
    if (watched == Edit3) {
        if (Edit3KeyPress(keyEvent->text())) return true;
        // A number typed means a value: the box is no longer blank.
        if (keyEvent->text().size() == 1 && keyEvent->text().front().isDigit()) CheckBox6->setChecked(false);
        return returnFocusOnEnter(Panel5, keyEvent->key());
    }
    if (watched == CheckBox6) return returnFocusOnEnter(Panel5, keyEvent->key());
    if (watched == DateTimePicker7 || watched == DateTimePicker8) {
        // A digit typed means a value, also one that equals what the picker shows.
        if (keyEvent->text().size() == 1 && keyEvent->text().front().isDigit()) CheckBox15->setChecked(false);
        return returnFocusOnEnter(Panel3, keyEvent->key());
    }
    if (watched == CheckBox15) return returnFocusOnEnter(Panel3, keyEvent->key());
    return QObject::eventFilter(watched, event);
}

void RowEditors::discard(QWidget* editor, PropertyTable* table)
{
    editor->hide();
    table->setFocus();
}

bool RowEditors::Edit1KeyDown(const QKeyEvent* keyEvent)
{
    const int key = keyEvent->key();
    if (isEnter(key) && (keyEvent->modifiers() & Qt::ShiftModifier)) {
        const int row = textTable_->selectedRow();
        if (row < 0) return true;
        QString text = Edit1->text();
        const int cursor = Edit1->cursorPosition();
        text.insert(cursor, u'\n');
        Edit1->hide();  // before the focus moves, so that nothing is committed yet
        showMultiLineEditor(textTable_, row, text, cursor + 1);
        MultiLineEdit->document()->setModified(true);
        return true;
    }
    if (key == Qt::Key_Escape) {
        if (const int row = textTable_->selectedRow(); row >= 0) Edit1->setText(textTable_->rowValue(row));
    } else if (!isEnter(key)) {
        return false;
    }
    Edit1Exit();
    textTable_->setFocus();
    return true;
}

bool RowEditors::MultiLineEditKeyDown(const QKeyEvent* keyEvent)
{
    const int key = keyEvent->key();
    if (isEnter(key) && (keyEvent->modifiers() & Qt::ShiftModifier)) {
        // A plain line break, not the soft one a plain-text edit makes of Shift+Enter.
        MultiLineEdit->insertPlainText(QStringLiteral("\n"));
        return true;
    }
    if (key == Qt::Key_Escape) {
        discard(MultiLineEdit, textTable_);
        return true;
    }
    if (!isEnter(key)) return false;
    MultiLineEditExit();
    textTable_->setFocus();
    return true;
}

bool RowEditors::Edit3KeyPress(const QString& text)
{
    // Backspace, Enter and the editing and navigation keys type no printable character.
    if (text.size() != 1 || !text.front().isPrint()) return false;
    const QChar typed = text.front();
    return typed < u'0' || typed > u'9';
}

bool RowEditors::returnFocusOnEnter(QWidget* editor, int key)
{
    if (!isEnter(key)) return false;
    if (editor == Panel5) {
        Panel5Exit();
        numberTable_->setFocus();
    } else {
        Panel3Exit();
        dateTable_->setFocus();
    }
    return true;
}

}  // namespace quorvane::app
