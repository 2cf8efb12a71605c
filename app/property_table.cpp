// SPDX-License-Identifier: Apache-2.0
#include "app/property_table.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

#include "app/core_label_text.h"
#include "app/grid_line_delegate.h"
#include "props/catalogue.h"

namespace quorvane::app {

PropertyTable::PropertyTable(const QString& objectName, bool withCheckBoxes, QWidget* parent)
    : QTreeWidget(parent)
{
    setObjectName(objectName);
    setColumnCount(2);
    setHeaderLabels({tr("Summary Information"), tr("Value")});
    setRootIsDecorated(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new GridLineDelegate(kRowHeightPx, this));
    // The longest labels only fit the fixed label column in a condensed face, where there is one.
    QFont condensed = font();
    condensed.setStretch(QFont::Condensed);
    setFont(condensed);

    QHeaderView* columns = header();
    columns->setStretchLastSection(false);
    columns->setSectionsMovable(false);
    columns->setSectionsClickable(false);
    columns->setSectionResizeMode(QHeaderView::Fixed);
    columns->resizeSection(0, kLabelColumnWidthPx);
    columns->resizeSection(1, valueColumnWidthFor(width()));

    for (int row = 0; row < props::kRowCount; ++row) {
        auto* item = new QTreeWidgetItem(this, {coreLabelText(props::catalogueRow(row).label), QString()});
        item->setFlags(withCheckBoxes ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable
                                      : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setToolTip(0, item->text(0));
        if (withCheckBoxes) item->setCheckState(0, Qt::Unchecked);
    }

    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &PropertyTable::aboutToScroll);
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this, &PropertyTable::aboutToScroll);
}

QString PropertyTable::rowValue(int row) const
{
    return topLevelItem(row)->text(1);
}

void PropertyTable::setRowValue(int row, const QString& value)
{
    topLevelItem(row)->setText(1, value);
}

int PropertyTable::selectedRow() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.first());
}

void PropertyTable::selectRow(int row)
{
    QTreeWidgetItem* item = topLevelItem(row);
    setCurrentItem(item);
    scrollToItem(item, QAbstractItemView::EnsureVisible);
}

int PropertyTable::rowAt(QPoint viewportPos) const
{
    return indexOfTopLevelItem(itemAt(viewportPos));
}

bool PropertyTable::isInsideValueColumn(int viewportX) const
{
    const int valueLeft = header()->sectionViewportPosition(1);
    return viewportX > valueLeft && viewportX < valueLeft + header()->sectionSize(1);
}

QRect PropertyTable::valueCellRect(int row) const
{
    return visualRect(indexFromItem(topLevelItem(row), 1));
}

int PropertyTable::valueColumnWidthFor(int tableWidthPx)
{
    return tableWidthPx <= 300 ? 100 : tableWidthPx - 180;
}

void PropertyTable::resizeEvent(QResizeEvent* event)
{
    QTreeWidget::resizeEvent(event);
    // A font too large for the labels in 160 pixels widens the label column; the value column
    // gives up the same width.
    const int labelWidth = std::max(kLabelColumnWidthPx, sizeHintForColumn(0));
    header()->resizeSection(0, labelWidth);
    header()->resizeSection(1, valueColumnWidthFor(width() - (labelWidth - kLabelColumnWidthPx)));
}

void PropertyTable::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) emit clickedAt(event->position().toPoint());
}

void PropertyTable::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool opensEditor = key == Qt::Key_F2 || key == Qt::Key_Return || key == Qt::Key_Enter;
    if (opensEditor && event->modifiers() == Qt::NoModifier && selectedRow() >= 0) {
        emit editRequested(selectedRow());
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

bool PropertyTable::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Wheel) emit aboutToScroll();
    return QTreeWidget::viewportEvent(event);
}

}  // namespace quorvane::app
