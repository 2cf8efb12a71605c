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
#include <QRegularExpressionValidator>
#include <QTimeEdit>

#include <algorithm>

#include "app/date_time_pickers.h"
#include "app/property_table.h"
#include "app/up_down.h"
#include "props/catalogue.h"
#include "convert/display_text.h"
#include "base/error.h"

namespace quorvane::app {
namespace {

constexpr int kPanelHeightPx = 21;

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

// Narrows a picker to the width its longest text needs.
void fitToText(QDateTimeEdit* picker)
{
    const QString widest = QDateTime(QDate(2000, 12, 28), QTime(23, 59, 59)).toString(picker->displayFormat());
    const int buttonsPx = picker->buttonSymbols() == QAbstractSpinBox::NoButtons ? 0 : 20;
    picker->setFixedWidth(picker->fontMetrics().horizontalAdvance(widest) + buttonsPx + 8);
}

// An editor counts as open until it is hidden itself, also while the page holding its table is
// not shown (switching pages moves the focus away from it, which must still commit it).
bool isOpen(const QWidget* editor) { return !editor->isHidden(); }

bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

QFrame* newEditorPanel(const QString& objectName, QWidget* parent)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(objectName);
    panel->setAutoFillBackground(true);
    panel->setBackgroundRole(QPalette::Base);
    panel->setFixedHeight(kPanelHeightPx);
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
    buildNumberEditor(cells);
    buildDateEditor(cells);
    Edit1->hide();
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
    Panel3 = newEditorPanel(QStringLiteral("Panel3"), parent);
    DateTimePicker7 = newDatePicker(QStringLiteral("DateTimePicker7"), Panel3);
    DateTimePicker8 = newTimePicker(QStringLiteral("DateTimePicker8"), Panel3);
    // Date, time and "Blank" have to fit into a "Value" cell about 200 pixels wide: the time is
    // stepped with the Up and Down keys or the wheel instead of arrow buttons.
    DateTimePicker8->setButtonSymbols(QAbstractSpinBox::NoButtons);
    fitToText(DateTimePicker7);
    fitToText(DateTimePicker8);
    CheckBox15 = new QCheckBox(tr("Blank"), Panel3);
    CheckBox15->setObjectName(QStringLiteral("CheckBox15"));
    CheckBox15->installEventFilter(this);
    DateTimePicker7->installEventFilter(this);
    DateTimePicker8->installEventFilter(this);
    auto* layout = static_cast<QHBoxLayout*>(Panel3->layout());
    layout->addWidget(DateTimePicker7);
    layout->addWidget(DateTimePicker8);
    layout->addWidget(CheckBox15);
    layout->addStretch();
}

void RowEditors::guardScrolling(PropertyTable* table)
{
    connect(table, &PropertyTable::aboutToScroll, this, [this, table] { commitAndFocus(table); });
}

void RowEditors::openAt(PropertyTable* table, QPoint viewportPos)
{
    attach(Edit1, textTable_, table);
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

void RowEditors::placeOver(QWidget* editor, PropertyTable*& editorTable, PropertyTable* table, int row,
                           int leftInsetPx)
{
    attach(editor, editorTable, table);
    const QRect cell = table->valueCellRect(row);
    // The editor covers the rest of the cell, or more where its controls need more room.
    editor->setGeometry(cell.left() + leftInsetPx, cell.top(),
                        std::max(editor->sizeHint().width(), cell.width() - leftInsetPx), kPanelHeightPx);
}

void RowEditors::ShowRowEditor(PropertyTable* table, int row)
{
    const QString value = table->rowValue(row);
    if (props::isNumberRow(row)) {
        placeOver(Panel5, numberTable_, table, row, 2);
        Panel5->show();
        CheckBox6->setChecked(value.trimmed().isEmpty());
        Edit3->setText(integerTextOr1(value));
        Edit3->setFocus();
        Edit3->selectAll();
    } else if (props::isDateTimeRow(row)) {
        try {
            showInPickers(convert::DisplayTextToDateTime(value.toStdString()), DateTimePicker7, DateTimePicker8);
        } catch (const quorvane::Error&) {
            // Not a date (an empty value included): the editor starts at the current time.
            const QDateTime now = QDateTime::currentDateTime();
            DateTimePicker7->setDate(now.date());
            DateTimePicker8->setTime(now.time());
        }
        const bool mayBeBlank = props::isBlankableDateTimeRow(row);
        CheckBox15->setHidden(!mayBeBlank);
        CheckBox15->setChecked(mayBeBlank && value.isEmpty());
        placeOver(Panel3, dateTable_, table, row, 2);
        Panel3->show();
        focusFirstField(DateTimePicker7);
    } else {
        attach(Edit1, textTable_, table);
        const QRect cell = table->valueCellRect(row);
        Edit1->setGeometry(cell.left() + 3, cell.top(), cell.width() - 4, cell.height());
        Edit1->setText(value);
        Edit1->show();
        Edit1->setFocus();
        Edit1->selectAll();
    }
}

void RowEditors::CloseRowEditors()
{
    if (isOpen(Edit1)) Edit1Exit();
    if (isOpen(Panel3)) Panel3Exit();
    if (isOpen(Panel5)) Panel5Exit();
}

void RowEditors::Edit1Exit()
{
    if (const int row = textTable_->selectedRow(); row >= 0) textTable_->setRowValue(row, Edit1->text());
    Edit1->hide();
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
            blank ? std::string() : convert::DateTimeToDisplayText(composeFromPickers(DateTimePicker7, DateTimePicker8));
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
    const bool anyOpen = isOpen(Edit1) || isOpen(Panel3) || isOpen(Panel5);
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
    if (isOpen(Panel3) && !isWithin(newFocus, Panel3)) Panel3Exit();
    if (isOpen(Panel5) && !isWithin(newFocus, Panel5)) Panel5Exit();
}

bool RowEditors::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* keyEvent = static_cast<const QKeyEvent*>(event);
    if (watched == Edit1) return Edit1KeyDown(keyEvent->key());
    if (watched == Edit3) {
        if (Edit3KeyPress(keyEvent->text())) return true;
        // A number typed means a value: the box is no longer blank.
        if (keyEvent->text().size() == 1 && keyEvent->text().front().isDigit()) CheckBox6->setChecked(false);
        return returnFocusOnEnter(Panel5, keyEvent->key());
    }
    if (watched == CheckBox6) return returnFocusOnEnter(Panel5, keyEvent->key());
    if (watched == DateTimePicker7 || watched == DateTimePicker8 || watched == CheckBox15) {
        if (keyEvent->key() == Qt::Key_Escape) {
            // Hidden without a commit, the row keeps its value exactly.
            Panel3->hide();
            dateTable_->setFocus();
            return true;
        }
        return returnFocusOnEnter(Panel3, keyEvent->key());
    }
    return QObject::eventFilter(watched, event);
}

bool RowEditors::Edit1KeyDown(int key)
{
    if (key == Qt::Key_Escape) {
        if (const int row = textTable_->selectedRow(); row >= 0) Edit1->setText(textTable_->rowValue(row));
    } else if (!isEnter(key)) {
        return false;
    }
    Edit1Exit();
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
