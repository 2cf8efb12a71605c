#include "app/grid_line_delegate.h"

#include <QPainter>

namespace quorvane::app {

GridLineDelegate::GridLineDelegate(int rowHeightPx, QObject* parent)
    : QStyledItemDelegate(parent), rowHeightPx_(rowHeightPx)
{
}

void GridLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    painter->save();
    painter->setPen(option.palette.color(QPalette::Midlight));
    const QRect cell = option.rect;
    painter->drawLine(cell.topRight(), cell.bottomRight());
    painter->drawLine(cell.bottomLeft(), cell.bottomRight());
    painter->restore();
}

QSize GridLineDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (rowHeightPx_ > 0) size.setHeight(rowHeightPx_);
    return size;
}

}  // namespace quorvane::app
