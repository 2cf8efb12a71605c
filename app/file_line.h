// SPDX-License-Identifier: Apache-2.0
// One line of the file list: the file's path, status and failure in the "File Name" column (as
// file_list_lines.h reads and writes them), and the values of the optional columns once its file
// has been read in the background. The line orders itself by the list's sort column.
#pragma once

#include <QTreeWidgetItem>

#include <cstdint>
#include <memory>

#include "app/list_columns.h"

namespace quorvane::app {

class FileLine : public QTreeWidgetItem {
public:
    static constexpr int kStatusRole = Qt::UserRole;
    static constexpr int kPathRole = Qt::UserRole + 1;
    static constexpr int kFailureRole = Qt::UserRole + 2;

    // A line not in a list yet: it is complete when the list reports it added.
    FileLine(const QString& caption, const QByteArray& path);

    // The values read from its file; null until they arrive.
    const LineValues* values() const { return values_.get(); }
    // Takes `values` and has the list show them.
    void setValues(std::unique_ptr<const LineValues> values);

    // A number the background reader gives the line, to find it again when its values arrive.
    std::uint64_t serial = 0;

    QVariant data(int column, int role) const override;
    void setData(int column, int role, const QVariant& value) override;
    bool operator<(const QTreeWidgetItem& other) const override;

private:
    std::unique_ptr<const LineValues> values_;
};

// The words of a line's status in the "Status" column.
QString statusText(int status);

}  // namespace quorvane::app
