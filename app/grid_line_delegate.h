// SPDX-License-Identifier: Apache-2.0
// Paints the cells of a list view the way the program's tables look: each cell framed by a thin
// grid line on its right and bottom edge, the focused cell by a focus frame (focus_frames.h),
// and, when a row height is given, every row that high (higher when the font needs it). A cell
// whose text does not fit, or runs over several lines, shows its whole text as its tool tip,
// unless the item carries a tool tip of its own.
#pragma once

#include <QStyledItemDelegate>

namespace quorvane::app {

class GridLineDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // rowHeightPx 0 keeps the style's own row height.
    explicit GridLineDelegate(int rowHeightPx, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    int rowHeightPx_;
};

}  // namespace quorvane::app
