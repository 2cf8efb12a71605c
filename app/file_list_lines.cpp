// SPDX-License-Identifier: Apache-2.0
#include "app/file_list_lines.h"

#include <QCoreApplication>
#include <QFile>
#include <QTreeWidget>

#include "app/file_line.h"
#include "app/file_status_icons.h"

namespace quorvane::app {
namespace {

constexpr int kStatusRole = FileLine::kStatusRole;
constexpr int kPathRole = FileLine::kPathRole;
constexpr int kFailureRole = FileLine::kFailureRole;

// A line's outcome as text, which assistive technology reads as the line's description: the
// status picture and the tool tip alone say it only to the eye and the mouse.
void describeOutcome(QTreeWidgetItem* item)
{
    const QString reason = item->data(0, kFailureRole).toString();
    QString outcome;
    switch (item->data(0, kStatusRole).toInt()) {
    case kChanged:
        outcome = QCoreApplication::translate("quorvane::app::FileListLines", "changed");
        break;
    case kChangeFailed:
        outcome = QCoreApplication::translate("quorvane::app::FileListLines", "failed: %1").arg(reason);
        break;
    case kUnreadable:
        outcome = QCoreApplication::translate("quorvane::app::FileListLines", "cannot read: %1").arg(reason);
        break;
    default:
        break;
    }
    item->setData(0, Qt::AccessibleDescriptionRole, outcome);
}

}  // namespace

int lineCount(const QTreeWidget& list)
{
    return list.topLevelItemCount();
}

std::string linePath(const QTreeWidget& list, int line)
{
    const QTreeWidgetItem* item = list.topLevelItem(line);
    return item ? item->data(0, kPathRole).toByteArray().toStdString() : std::string();
}

int lineStatus(const QTreeWidget& list, int line)
{
    const QTreeWidgetItem* item = list.topLevelItem(line);
    return item ? item->data(0, kStatusRole).toInt() : kUnchanged;
}

void setLineStatus(QTreeWidget& list, int line, int status)
{
    QTreeWidgetItem* item = list.topLevelItem(line);
    if (!item) return;
    item->setData(0, kStatusRole, status);
    item->setIcon(0, fileStatusIcon(status));
    describeOutcome(item);
}

QString lineFailure(const QTreeWidget& list, int line)
{
    const QTreeWidgetItem* item = list.topLevelItem(line);
    return item ? item->data(0, kFailureRole).toString() : QString();
}

void setLineFailure(QTreeWidget& list, int line, const QString& reason)
{
    QTreeWidgetItem* item = list.topLevelItem(line);
    if (!item) return;
    item->setData(0, kFailureRole, reason);
    item->setToolTip(0, reason.isEmpty() ? item->text(0) : reason);
    describeOutcome(item);
}

QString failureReason(const QString& step, const Failure& failure)
{
    if (!failure.failed()) return {};
    return step + QStringLiteral(": ") + QString::fromStdString(failure.text());
}

int appendLine(QTreeWidget& list, const std::string& path)
{
    const QByteArray pathBytes = QByteArray::fromStdString(path);
    // The caption is for the eye; the path itself is kept as the file system's bytes.
    auto* item = new FileLine(QFile::decodeName(pathBytes), pathBytes);
    list.addTopLevelItem(item);
    // A new item goes to the end; asking the list for its index would search every line.
    const int line = list.topLevelItemCount() - 1;
    setLineStatus(list, line, kUnchanged);
    setLineFailure(list, line, QString());
    return line;
}

int selectedLine(const QTreeWidget& list)
{
    const QList<QTreeWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? -1 : list.indexOfTopLevelItem(selected.first());
}

void selectLine(QTreeWidget& list, int line)
{
    if (QTreeWidgetItem* item = list.topLevelItem(line)) {
        list.setCurrentItem(item);
        item->setSelected(true);
        return;
    }
    list.clearSelection();
    list.setCurrentItem(nullptr);
}

void reselectFirstLine(QTreeWidget& list)
{
    list.clearSelection();
    list.setCurrentItem(nullptr);
    if (QTreeWidgetItem* first = list.topLevelItem(0)) list.setCurrentItem(first);
}

}  // namespace quorvane::app
