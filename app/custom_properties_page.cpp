// SPDX-License-Identifier: Apache-2.0
#include "app/custom_properties_page.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <memory>
#include <set>
#include <string_view>

#include "app/custom_value_text.h"
#include "app/grid_line_delegate.h"
#include "app/page_controls.h"
#include "app/property_table.h"

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
    for (const std::string_view type : kEditableTypes) list->addItem(qText(type));
    return list;
}

// The cells look like those of the property tables; the "Type" column is edited with a
// drop-down list of the five editable types.
class TypeColumnDelegate : public GridLineDelegate {
public:
    explicit TypeColumnDelegate(QObject* parent) : GridLineDelegate(PropertyTable::kRowHeightPx, parent) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (index.column() != CustomPropertiesPage::kTypeColumn) return QStyledItemDelegate::createEditor(parent, option, index);
        return newTypeList(parent);
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        if (auto* list = qobject_cast<QComboBox*>(editor)) list->setCurrentText(index.data().toString());
        else QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        if (auto* list = qobject_cast<QComboBox*>(editor)) model->setData(index, list->currentText());
        else QStyledItemDelegate::setModelData(editor, model, index);
    }
};

}  // namespace

CustomPropertiesPage::CustomPropertiesPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CustomPage"));
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
    CustomTable->setItemDelegate(new TypeColumnDelegate(CustomTable));
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

    clear();
}

void CustomPropertiesPage::showRead(const std::vector<props::CustomProperty>& properties)
{
    CustomTable->setRowCount(0);
    read_ = properties;
    for (std::size_t index = 0; index < read_.size(); ++index) appendLine(read_[index], int(index));
    fitColumns();
    CustomReadState->setText(read_.empty() ? tr("The file has no custom properties.")
                                           : tr("Custom properties of the file: %1").arg(read_.size()));
    enableEditing(true);
}

void CustomPropertiesPage::showReadFailure(const QString& reason)
{
    CustomTable->setRowCount(0);
    read_.clear();
    CustomReadState->setText(reason);
    enableEditing(false);
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
    const QAbstractItemView* view = CustomTable;  // QTableView hides the view's public sizeHintForColumn
    const auto widest = [&](int column) {
        return std::max(view->sizeHintForColumn(column), CustomTable->horizontalHeader()->sectionSizeHint(column));
    };
    // The type list opens whole over its cell. The names show whole as long as they take at most
    // half of what is left; a longer one is cut and shows whole as its tool tip.
    const int typeWidth = std::max(widest(kTypeColumn), typeListWidthPx_);
    CustomTable->setColumnWidth(kTypeColumn, typeWidth);
    CustomTable->setColumnWidth(kNameColumn, std::min(widest(kNameColumn), (CustomTable->contentsRect().width() - typeWidth) / 2));
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
}

void CustomPropertiesPage::removeSelectedLines()
{
    std::set<int> rows;
    for (const QModelIndex& index : CustomTable->selectionModel()->selectedIndexes()) rows.insert(index.row());
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) CustomTable->removeRow(*row);
}

std::optional<std::vector<props::CustomEdit>> CustomPropertiesPage::edits(QString* problem) const
{
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
            return std::nullopt;
        }
        for (int earlier = 0; earlier < row; ++earlier)
            if (props::sameCustomName(CustomTable->item(earlier, kNameColumn)->text().toStdString(), name)) {
                *problem = tr("two custom properties are named %1").arg(quotedName);
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
