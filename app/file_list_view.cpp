// SPDX-License-Identifier: Apache-2.0
#include "app/file_list_view.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>

#include <algorithm>
#include <string>
#include <vector>

#include "app/file_line.h"
#include "app/line_value_reader.h"
#include "change/defaults_store.h"
#include "change/saved_defaults.h"
#include "convert/date_time.h"
#include "convert/display_text.h"

namespace quorvane::app {
namespace {

constexpr int kFileNameMinWidthPx = 210;
constexpr int kValueColumnMinWidthPx = 100;
// The filter waits for a pause in typing before it walks the list.
constexpr int kFilterDelayMs = 200;

}  // namespace

FileListView::FileListView(QTreeWidget& list, QLineEdit& filter, QLabel& count)
    : QObject(&list), list_(list), filter_(filter), count_(count), reader_(new LineValueReader(list))
{
    setObjectName(QStringLiteral("FileListView"));
    QStringList captions;
    for (int column = 0; column < kListColumnCount; ++column) captions.append(columnCaption(column));
    list_.setHeaderLabels(captions);
    QHeaderView* header = list_.header();
    header->setMinimumSectionSize(header->fontMetrics().averageCharWidth() * 6);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);  // the order the files were added in
    header->setSectionsMovable(false);
    connect(header, &QHeaderView::sectionResized, this, [header](int section, int, int width) {
        if (section == kFileNameColumn && width < kFileNameMinWidthPx) header->resizeSection(section, kFileNameMinWidthPx);
    });
    connect(header, &QHeaderView::sortIndicatorChanged, this, [this](int column, Qt::SortOrder order) {
        if (column >= 0) list_.sortItems(column, order);
        if (list_.currentItem()) list_.scrollToItem(list_.currentItem());
    });

    columnsMenu_ = new QMenu(tr("&Columns"), &list_);
    columnsMenu_->setObjectName(QStringLiteral("ColumnsMenu"));
    for (int column = kFileNameColumn + 1; column < kListColumnCount; ++column) {
        QAction* item = columnsMenu_->addAction(columnCaption(column));
        item->setObjectName(QStringLiteral("Column_") + QString::fromStdString(columnName(column)));
        item->setCheckable(true);
        item->setData(column);
        connect(item, &QAction::toggled, this, [this, column](bool shown) { showColumn(column, shown); });
        header->setSectionHidden(column, true);
    }
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QWidget::customContextMenuRequested, this,
            [this, header](QPoint pos) { columnsMenu_->popup(header->mapToGlobal(pos)); });
    // The stored columns, checked without storing them again.
    for (const std::string& name : change::shownListColumns(change::defaultsStorePath())) {
        const int column = columnOfName(name);
        if (column <= kFileNameColumn) continue;
        const QSignalBlocker quiet(columnsMenu_->actions()[column - 1]);
        columnsMenu_->actions()[column - 1]->setChecked(true);
        header->setSectionHidden(column, false);
        fitColumn(column);
    }

    sortMenu_ = new QMenu(tr("&Sort by"), &list_);
    sortMenu_->setObjectName(QStringLiteral("SortMenu"));
    connect(sortMenu_, &QMenu::aboutToShow, this, &FileListView::fillSortMenu);
    fillSortMenu();

    filterDelay_.setSingleShot(true);
    filterDelay_.setInterval(kFilterDelayMs);
    connect(&filterDelay_, &QTimer::timeout, this, &FileListView::applyFilter);
    connect(&filter_, &QLineEdit::textChanged, &filterDelay_, qOverload<>(&QTimer::start));
    connect(reader_, &LineValueReader::linesFilled, this, &FileListView::filterLines);

    QAbstractItemModel* model = list_.model();
    connect(model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex& parent, int first, int last) {
        if (parent.isValid()) return;
        if (!filter_.text().isEmpty()) {
            QList<FileLine*> added;
            for (int row = first; row <= last; ++row) added.append(static_cast<FileLine*>(list_.topLevelItem(row)));
            filterLines(added);
        }
        scheduleCount();
    });
    connect(model, &QAbstractItemModel::rowsRemoved, this, &FileListView::scheduleCount);
    connect(model, &QAbstractItemModel::modelReset, this, &FileListView::scheduleCount);
    showCount();
}

void FileListView::showColumn(int column, bool shown)
{
    list_.header()->setSectionHidden(column, !shown);
    if (shown) fitColumn(column);
    if (QAction* item = columnsMenu_->actions().value(column - 1); item && item->isChecked() != shown) {
        const QSignalBlocker quiet(item);
        item->setChecked(shown);
    }
    std::vector<std::string> names;
    for (int other = kFileNameColumn + 1; other < kListColumnCount; ++other)
        if (!list_.header()->isSectionHidden(other)) names.push_back(columnName(other));
    // The choice is a convenience: a store that cannot be written changes nothing else.
    change::rememberListColumns(change::defaultsStorePath(), names);
    if (!filter_.text().isEmpty()) applyFilter();
}

void FileListView::fitColumn(int column)
{
    // Wide enough for its caption with the sort mark, and a time column for a whole date-time.
    QHeaderView* header = list_.header();
    int width = std::max(header->sectionSizeHint(column), kValueColumnMinWidthPx);
    if (column >= kFirstTimeColumn && column < kAttributesColumn) {
        const auto sample = convert::encodeDateTime({2000, 12, 28, 23, 59, 58, 0});
        const QString text = QString::fromStdString(convert::DateTimeToDisplayText(*sample));
        width = std::max(width, list_.fontMetrics().horizontalAdvance(text) + 2 * list_.fontMetrics().averageCharWidth());
    }
    header->resizeSection(column, width);
}

void FileListView::sortBy(int column)
{
    QHeaderView* header = list_.header();
    const bool again = header->sortIndicatorSection() == column && header->sortIndicatorOrder() == Qt::AscendingOrder;
    header->setSortIndicator(column, again ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void FileListView::fillSortMenu()
{
    sortMenu_->clear();
    for (int column = 0; column < kListColumnCount; ++column) {
        if (list_.header()->isSectionHidden(column)) continue;
        QAction* item = sortMenu_->addAction(columnCaption(column), this, [this, column] { sortBy(column); });
        item->setObjectName(QStringLiteral("SortBy_") + QString::fromStdString(columnName(column)));
    }
}

bool FileListView::lineMatches(const FileLine& line) const
{
    const QString wanted = filter_.text();
    for (int column = 0; column < kListColumnCount; ++column) {
        if (list_.header()->isSectionHidden(column)) continue;
        if (line.data(column, Qt::DisplayRole).toString().contains(wanted, Qt::CaseInsensitive)) return true;
    }
    return false;
}

void FileListView::applyFilter()
{
    filterDelay_.stop();
    // By row: the list finds a line's row at once only while the line has not moved since.
    const bool everyLine = filter_.text().isEmpty();
    for (int row = 0; row < list_.topLevelItemCount(); ++row) {
        const bool hidden = !everyLine && !lineMatches(*static_cast<FileLine*>(list_.topLevelItem(row)));
        if (list_.isRowHidden(row, {}) != hidden) list_.setRowHidden(row, {}, hidden);
    }
    scheduleCount();
}

void FileListView::filterLines(const QList<FileLine*>& lines)
{
    if (filter_.text().isEmpty()) return;  // every line is shown already
    for (FileLine* line : lines) {
        const bool hidden = !lineMatches(*line);
        if (line->isHidden() != hidden) line->setHidden(hidden);
    }
    scheduleCount();
}

void FileListView::scheduleCount()
{
    if (countScheduled_) return;
    countScheduled_ = true;
    QMetaObject::invokeMethod(this, &FileListView::showCount, Qt::QueuedConnection);
}

void FileListView::showCount()
{
    countScheduled_ = false;
    const int total = list_.topLevelItemCount();
    int shown = total;
    if (!filter_.text().isEmpty())
        for (int row = 0; row < total; ++row) shown -= list_.isRowHidden(row, {}) ? 1 : 0;
    count_.setText(tr("Files: %1 / %2").arg(shown).arg(total));
}

}  // namespace quorvane::app
