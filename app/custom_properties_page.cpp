// SPDX-License-Identifier: Apache-2.0
#include "app/custom_properties_page.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <memory>
#include <set>
#include <string_view>

#include "app/accessible_names.h"
#include "app/custom_value_text.h"
#include "app/date_time_pickers.h"
#include "app/grid_line_delegate.h"
#include "app/page_controls.h"
#include "app/property_table.h"
#include "convert/display_text.h"

namespace quorvane::app {
namespace {

constexpr std::array<std::string_view, 5> kEditableTypes{props::kCustomText, props::kCustomInteger,
                                                         props::kCustomNumber, props::kCustomYesNo,
                                                         props::kCustomDate};
// The name item of a line keeps the index of the property it was read as; -1 for a new line.
constexpr int kReadIndexRole = Qt::UserRole;

QString qText(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The type as one of the five editable names; "" for any other stored type.
std::string_view editableType(const QString& type)
{
    for (const std::string_view known : kEditableTypes)
        if (type == qText(known)) return known;
    return {};
}

// The drop-down list of the five editable types, as the "Type" column's editor.
QComboBox* newTypeList(QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QStringLiteral("CustomTypeList"));
    list->setAccessibleName(CustomPropertiesPage::tr("Type"));
    for (const std::string_view type : kEditableTypes) list->addItem(qText(type));
    return list;
}

// On Linux Qt gives a combo box its current text as its accessible name, so a screen reader
// would read the type twice and never what the box sets; the type list keeps its own name.
class TypeListAccessible : public QAccessibleWidget {
public:
    explicit TypeListAccessible(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value) return static_cast<const QComboBox*>(widget())->currentText();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* typeListAccessible(const QString&, QObject* object)
{
    auto* list = qobject_cast<QComboBox*>(object);
    return list && list->objectName() == QLatin1String("CustomTypeList") ? new TypeListAccessible(list) : nullptr;
}

bool isDateValueCell(const QModelIndex& index)
{
    return index.column() == CustomPropertiesPage::kValueColumn &&
           index.siblingAtColumn(CustomPropertiesPage::kTypeColumn).data().toString() == qText(props::kCustomDate);
}

// The cells look like those of the property tables; the "Type" column is edited with a
// drop-down list of the five editable types, a date value with the property tables' date-time
// editor.
class CustomCellDelegate : public GridLineDelegate {
public:
    explicit CustomCellDelegate(QObject* parent) : GridLineDelegate(PropertyTable::kRowHeightPx, parent) {}

    // Each editor is named for assistive technology: "Name", "Type", or by the line's name.
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QString lineName = index.siblingAtColumn(CustomPropertiesPage::kNameColumn).data().toString();
        if (index.column() == CustomPropertiesPage::kTypeColumn) return newTypeList(parent);
        if (isDateValueCell(index)) {
            auto* editor = new DateTimeCellEditor(QStringLiteral("CustomDateEditor"), QStringLiteral("CustomDatePicker"),
                                                  QStringLiteral("CustomTimePicker"), parent);
            editor->datePicker()->setAccessibleName(rowDateName(lineName));
            editor->timePicker()->setAccessibleName(rowTimeName(lineName));
            return editor;
        }
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        editor->setAccessibleName(index.column() == CustomPropertiesPage::kNameColumn ? CustomPropertiesPage::tr("Name")
                                                                                       : rowValueName(lineName));
        return editor;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        if (auto* list = qobject_cast<QComboBox*>(editor)) {
            list->setCurrentText(index.data().toString());
        } else if (auto* dateTime = dynamic_cast<DateTimeCellEditor*>(editor)) {
            // A value that is no date (an empty one included) starts at the current time.
            if (const auto value = customDateOfText(index.data().toString())) dateTime->setValue(*value);
            else dateTime->setToNow();
            focusFirstField(dateTime->datePicker());
        } else {
            QStyledItemDelegate::setEditorData(editor, index);
        }
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        if (auto* list = qobject_cast<QComboBox*>(editor))
            model->setData(index, list->currentText());
        else if (auto* dateTime = dynamic_cast<DateTimeCellEditor*>(editor))
            model->setData(index, QString::fromStdString(convert::DateTimeToDisplayText(dateTime->value())));
        else
            QStyledItemDelegate::setModelData(editor, model, index);
    }
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::updateEditorGeometry(editor, option, index);
        // The pickers keep their width where the cell is narrower.
        if (dynamic_cast<DateTimeCellEditor*>(editor))
            editor->resize(std::max(editor->width(), editor->sizeHint().width()), std::max(editor->height(), editor->sizeHint().height()));
    }
};

}  // namespace

CustomPropertiesPage::CustomPropertiesPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CustomPage"));
    static const bool typeListAccessibleInstalled = (QAccessible::installFactory(typeListAccessible), true);
    Q_UNUSED(typeListAccessibleInstalled);
    QVBoxLayout* column = pageColumn(this);

    CustomReadState = new QLabel(this);
    CustomReadState->setObjectName(QStringLiteral("CustomReadState"));
    CustomReadState->setWordWrap(true);
    column->addWidget(CustomReadState);

    CustomTable = new QTableWidget(0, 3, this);
    CustomTable->setObjectName(QStringLiteral("CustomTable"));
    CustomTable->setHorizontalHeaderLabels({tr("Name"), tr("Type"), tr("Value")});
    CustomTable->verticalHeader()->hide();
    CustomTable->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The look of the property tables: their condensed letters and their grid lines.
    QFont condensed = CustomTable->font();
    condensed.setStretch(QFont::Condensed);
    CustomTable->setFont(condensed);
    CustomTable->setShowGrid(false);
    CustomTable->setWordWrap(false);
    CustomTable->horizontalHeader()->setStretchLastSection(true);
    CustomTable->horizontalHeader()->setSectionsClickable(false);
    CustomTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    CustomTable->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                                 QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    // Tab leaves the table for the buttons; the arrow keys move between its cells.
    CustomTable->setTabKeyNavigation(false);
    CustomTable->setItemDelegate(new CustomCellDelegate(CustomTable));
    column->addWidget(CustomTable, 1);
    const std::unique_ptr<QComboBox> typeList(newTypeList(nullptr));
    typeListWidthPx_ = typeList->sizeHint().width();

    auto* removeLines = new QAction(CustomTable);
    removeLines->setObjectName(QStringLiteral("CustomRemoveShortcut"));
    removeLines->setShortcut(QKeySequence(Qt::Key_Delete));
    removeLines->setShortcutContext(Qt::WidgetShortcut);
    CustomTable->addAction(removeLines);
    connect(removeLines, &QAction::triggered, this, &CustomPropertiesPage::removeSelectedLines);

    CustomBackupBox = newCheckBox("CustomBackupBox", backupOptionCaption(), this);
    column->addWidget(CustomBackupBox);

    CustomAddButton = newButton("CustomAddButton", tr("&Add"), this);
    CustomRemoveButton = newButton("CustomRemoveButton", tr("&Remove"), this);
    CustomApplyButton = newButton("CustomApplyButton", tr("A&pply"), this);
    QHBoxLayout* buttons = buttonRow({CustomAddButton, CustomRemoveButton});
    buttons->addStretch(1);
    buttons->addWidget(CustomApplyButton);
    column->addLayout(buttons);
    connect(CustomAddButton, &QPushButton::clicked, this, &CustomPropertiesPage::addLine);
    connect(CustomRemoveButton, &QPushButton::clicked, this, &CustomPropertiesPage::removeSelectedLines);
    connect(CustomTable, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (marked_.isValid() && item->row() == marked_.row()) unmark();
        if (item->column() == kNameColumn) fitColumns();
    });

    clear();
}

void CustomPropertiesPage::showRead(const std::vector<props::CustomProperty>& properties)
{
    unmark();
    CustomTable->setRowCount(0);
    read_ = properties;
    for (std::size_t index = 0; index < read_.size(); ++index) appendLine(read_[index], int(index));
    fitColumns();
    CustomReadState->setText(read_.empty() ? tr("The file has no custom properties.")
                                           : tr("Custom properties of the file: %1").arg(read_.size()));
    enableEditing(true);
    showReadState();
}

void CustomPropertiesPage::showReadFailure(const QString& reason)
{
    unmark();
    CustomTable->setRowCount(0);
    read_.clear();
    CustomReadState->setText(reason);
    enableEditing(false);
    showReadState();
}

void CustomPropertiesPage::showReadState()
{
    const bool readNone = CustomAddButton->isEnabled() && read_.empty();
    CustomReadState->setHidden(readNone && CustomTable->rowCount() > 0);
}

void CustomPropertiesPage::mark(int row, int column, const QString& reason)
{
    unmark();
    QTableWidgetItem* item = CustomTable->item(row, column);
    const QSignalBlocker quiet(CustomTable);
    // A tint of the palette's own text colour on its base stands out on light and dark alike.
    const QPalette& palette = CustomTable->palette();
    QColor tint = palette.color(QPalette::Base);
    const QColor warning(220, 50, 47);
    tint.setRgb((tint.red() + warning.red()) / 2, (tint.green() + warning.green()) / 2, (tint.blue() + warning.blue()) / 2);
    item->setBackground(tint);
    item->setToolTip(reason);
    marked_ = CustomTable->model()->index(row, column);
    CustomTable->setCurrentCell(row, column);
    CustomTable->scrollToItem(item);
}

void CustomPropertiesPage::unmark()
{
    if (!marked_.isValid()) return;
    QTableWidgetItem* item = CustomTable->item(marked_.row(), marked_.column());
    const QSignalBlocker quiet(CustomTable);
    item->setData(Qt::BackgroundRole, QVariant());
    item->setData(Qt::ToolTipRole, QVariant());
    marked_ = QPersistentModelIndex();
}

void CustomPropertiesPage::clear()
{
    showReadFailure(tr("No file selected."));
}

void CustomPropertiesPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitColumns();
}

void CustomPropertiesPage::fitColumns()
{
    // Measured over every line, not only those in view, as the cells draw their text.
    const QFontMetrics metrics(CustomTable->font());
    const int cellMarginsPx = 2 * (CustomTable->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, CustomTable) + 1) + 4;
    const auto widest = [&](int column) {
        int widthPx = CustomTable->horizontalHeader()->sectionSizeHint(column);
        for (int row = 0; row < CustomTable->rowCount(); ++row)
            if (const QTableWidgetItem* item = CustomTable->item(row, column))  // none while a line is built
                widthPx = std::max(widthPx, metrics.horizontalAdvance(item->text()) + cellMarginsPx);
        return widthPx;
    };
    // The type list opens whole over its cell. The names show whole as long as the values keep
    // room for a dozen characters; a longer one is cut and shows whole as its tool tip.
    const int typeWidth = std::max(widest(kTypeColumn), typeListWidthPx_);
    CustomTable->setColumnWidth(kTypeColumn, typeWidth);
    const int valueRoomPx = 12 * metrics.averageCharWidth() + cellMarginsPx;
    CustomTable->setColumnWidth(kNameColumn,
                                std::max(CustomTable->horizontalHeader()->sectionSizeHint(kNameColumn),
                                         std::min(widest(kNameColumn), CustomTable->viewport()->width() - typeWidth - valueRoomPx)));
}

void CustomPropertiesPage::enableEditing(bool enabled)
{
    for (QPushButton* button : {CustomAddButton, CustomRemoveButton, CustomApplyButton}) button->setEnabled(enabled);
}

void CustomPropertiesPage::appendLine(const props::CustomProperty& property, int readIndex)
{
    const int row = CustomTable->rowCount();
    CustomTable->insertRow(row);
    const bool editable = !editableType(QString::fromStdString(property.type)).empty();
    const std::array<QString, 3> texts{QString::fromStdString(property.name), QString::fromStdString(property.type),
                                       QString::fromStdString(property.value)};
    for (int column = 0; column < 3; ++column) {
        auto* item = new QTableWidgetItem(texts[std::size_t(column)]);
        if (!editable) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        CustomTable->setItem(row, column, item);
    }
    CustomTable->item(row, kNameColumn)->setData(kReadIndexRole, readIndex);
}

void CustomPropertiesPage::finishEditing()
{
    // The cell editor lives inside the table; taking the focus from it commits it.
    if (CustomTable->isAncestorOf(QApplication::focusWidget())) CustomTable->setFocus();
}

void CustomPropertiesPage::addLine()
{
    appendLine({std::string(), std::string(props::kCustomText), std::string()}, -1);
    const int row = CustomTable->rowCount() - 1;
    CustomTable->setFocus();
    CustomTable->setCurrentCell(row, kNameColumn);
    CustomTable->editItem(CustomTable->item(row, kNameColumn));
    showReadState();
}

void CustomPropertiesPage::removeSelectedLines()
{
    std::set<int> rows;
    for (const QModelIndex& index : CustomTable->selectionModel()->selectedIndexes()) rows.insert(index.row());
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) CustomTable->removeRow(*row);
    showReadState();
}

std::optional<std::vector<props::CustomEdit>> CustomPropertiesPage::edits(QString* problem)
{
    unmark();
    std::vector<props::CustomEdit> removals;
    std::vector<props::CustomEdit> sets;
    std::vector<bool> kept(read_.size(), false);
    for (int row = 0; row < CustomTable->rowCount(); ++row) {
        const std::string name = CustomTable->item(row, kNameColumn)->text().toStdString();
        const QString type = CustomTable->item(row, kTypeColumn)->text();
        const QString value = CustomTable->item(row, kValueColumn)->text();
        const QString quotedName = u'\'' + QString::fromStdString(name) + u'\'';
        if (name.empty()) {
            *problem = tr("a custom property on line %1 has no name").arg(row + 1);
            mark(row, kNameColumn, *problem);
            return std::nullopt;
        }
        for (int earlier = 0; earlier < row; ++earlier)
            if (props::sameCustomName(CustomTable->item(earlier, kNameColumn)->text().toStdString(), name)) {
                *problem = tr("two custom properties are named %1").arg(quotedName);
                mark(row, kNameColumn, *problem);
                return std::nullopt;
            }
        const int readIndex = CustomTable->item(row, kNameColumn)->data(kReadIndexRole).toInt();
        const props::CustomProperty* before = readIndex >= 0 ? &read_[std::size_t(readIndex)] : nullptr;
        if (before) kept[std::size_t(readIndex)] = true;
        const bool renamed = before && before->name != name;
        if (renamed) removals.push_back({props::CustomEdit::Kind::Remove, before->name, {}});
        if (before && !renamed && before->type == type.toStdString() && before->value == value.toStdString()) continue;
        QString valueProblem;
        const auto stored = customValueOfText(editableType(type), value, &valueProblem);
        if (!stored) {
            *problem = quotedName + QStringLiteral(": ") + valueProblem;
            mark(row, kValueColumn, *problem);
            return std::nullopt;
        }
        sets.push_back({props::CustomEdit::Kind::Set, name, *stored});
    }
    for (std::size_t index = 0; index < read_.size(); ++index)
        if (!kept[index]) removals.push_back({props::CustomEdit::Kind::Remove, read_[index].name, {}});
    removals.insert(removals.end(), sets.begin(), sets.end());
    return removals;
}

}  // namespace quorvane::app
