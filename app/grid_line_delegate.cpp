// SPDX-License-Identifier: Apache-2.0
#include "app/grid_line_delegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QTextDocument>
#include <QToolTip>

#include <algorithm>

#include "app/focus_frames.h"
#include "app/visible_frames.h"

namespace quorvane::app {
namespace {

// True when the style draws `option`'s text shortened, or on one line although it has several.
bool textIsCut(const QStyleOptionViewItem& option, const QWidget* view)
{
    if (option.text.contains(QChar::LineSeparator)) return true;  // the delegate's form of a line break
    const QStyle* style = view ? view->style() : QApplication::style();
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &option, view);
    const int marginPx = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    return option.fontMetrics.horizontalAdvance(option.text) > textRect.width() - 2 * marginPx;
}

}  // namespace

GridLineDelegate::GridLineDelegate(int rowHeightPx, QObject* parent)
    : QStyledItemDelegate(parent), rowHeightPx_(rowHeightPx)
{
}

void GridLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    painter->save();
    if (index.data(Qt::CheckStateRole).isValid()) {
        // The style draws an unticked box in about the cells' colour under a dark palette.
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const QStyle* style = cell.widget ? cell.widget->style() : QApplication::style();
        const QRect box = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &cell, cell.widget);
        painter->setPen(outlineOnBase(option.palette));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(box.adjusted(1, 1, -2, -2));
    }
    painter->setPen(option.palette.color(QPalette::Midlight));
    const QRect cell = option.rect;
    painter->drawLine(cell.topRight(), cell.bottomRight());
    painter->drawLine(cell.bottomLeft(), cell.bottomRight());
    painter->restore();
    if (option.state & QStyle::State_HasFocus) {
        const bool selected = option.state & QStyle::State_Selected;
        drawFocusFrame(painter, cell, option.palette,
                       option.palette.color(selected ? QPalette::Highlight : QPalette::Base));
    }
}

QSize GridLineDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), rowHeightPx_));
    return size;
}

bool GridLineDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                 const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid() || index.data(Qt::ToolTipRole).isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    if (cell.text.isEmpty() || !textIsCut(cell, view)) {
        QToolTip::hideText();
        return true;
    }
    // As rich text, so that long lines wrap and line breaks show; the value itself is escaped.
    const QString whole = QString(cell.text).replace(QChar::LineSeparator, u'\n');
    QToolTip::showText(event->globalPos(), Qt::convertFromPlainText(whole, Qt::WhiteSpaceNormal), view, option.rect);
    return true;
}

}  // namespace quorvane::app
