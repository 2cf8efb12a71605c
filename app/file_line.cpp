// SPDX-License-Identifier: Apache-2.0
#include "app/file_line.h"

#include <QCoreApplication>
#include <QTreeWidget>

#include "change/file_status.h"

namespace quorvane::app {

FileLine::FileLine(const QString& caption, const QByteArray& path) : QTreeWidgetItem(QStringList{caption})
{
    setData(kFileNameColumn, kPathRole, path);
}

void FileLine::setValues(std::unique_ptr<const LineValues> values)
{
    values_ = std::move(values);
    emitDataChanged();
}

QVariant FileLine::data(int column, int role) const
{
    if (column == kFileNameColumn) return QTreeWidgetItem::data(column, role);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    if (column == kStatusColumn) return statusText(QTreeWidgetItem::data(kFileNameColumn, kStatusRole).toInt());
    if (!values_) return QString();
    QString text = columnText(*values_, column);
    // A line of the list is one line high; the tool tip keeps a value's line breaks.
    if (role == Qt::DisplayRole) {
        text.replace(QLatin1String("\r\n"), QLatin1String(" "));
        text.replace(u'\r', u' ').replace(u'\n', u' ');
    }
    return text;
}

void FileLine::setData(int column, int role, const QVariant& value)
{
    QTreeWidgetItem::setData(column, role, value);
    // The "Status" column shows what the first column keeps.
    if (column == kFileNameColumn && role == kStatusRole) emitDataChanged();
}

bool FileLine::operator<(const QTreeWidgetItem& other) const
{
    const int column = treeWidget() ? treeWidget()->sortColumn() : kFileNameColumn;
    const auto& line = static_cast<const FileLine&>(other);
    if (column == kFileNameColumn) return compareNaturally(text(0), line.text(0)) < 0;
    if (column == kStatusColumn)
        return QTreeWidgetItem::data(0, kStatusRole).toInt() < line.QTreeWidgetItem::data(0, kStatusRole).toInt();
    if (!values_ || !line.values_) return !values_ && line.values_;
    return compareColumn(*values_, *line.values_, column) < 0;
}

QString statusText(int status)
{
    switch (status) {
    case change::kChanged: return QCoreApplication::translate("FileList", "Changed");
    case change::kChangeFailed: return QCoreApplication::translate("FileList", "Change failed");
    case change::kUnreadable: return QCoreApplication::translate("FileList", "Unreadable");
    default: return QCoreApplication::translate("FileList", "Unchanged");
    }
}

}  // namespace quorvane::app
