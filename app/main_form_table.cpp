// SPDX-License-Identifier: Apache-2.0
// "Apply values from table…" of the main window: a CSV or JSON table of per-file values chosen,
// planned (table/table_plan.h), shown in its preview, and the files ticked there changed in the
// batch progress window as Batch Change changes the list, with the Batch page's backup option.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTreeWidget>

#include "app/batch_progress_window.h"
#include "app/file_list_lines.h"
#include "app/file_list_view.h"
#include "app/line_value_reader.h"
#include "app/main_form.h"
#include "app/table_preview_dialog.h"
#include "app/value_table_file_dialog.h"
#include "table/table_plan.h"

namespace quorvane::app {
namespace {

// `path` absolute and without "." or ".." parts, to find a table's file among the list's lines.
QString comparablePath(const std::string& path)
{
    return QDir::cleanPath(QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).absoluteFilePath());
}

}  // namespace

void TForm1::ApplyValuesFromTable1Click()
{
    CloseRowEditors();
    const QString tableName = chooseValueTable(this);
    if (tableName.isEmpty()) return;
    const change::ChangeOptions options{false, CheckBox4->isChecked()};
    const table::TablePlan plan = [&] {
        // The plan reads every file once and puts back what its reads move, as the background reads do.
        const LineValueReader::Pause paused(fileListView_->reader());
        return table::planTables({QFile::encodeName(tableName).toStdString()}, options);
    }();
    TablePreviewDialog preview(plan, tableName, this);
    if (preview.exec() != QDialog::Accepted) return;
    const std::vector<int> chosen = preview.chosenFiles();
    QHash<QString, int> lineOfPath;
    for (int line = 0; line < lineCount(*ListView1); ++line) lineOfPath.insert(comparablePath(linePath(*ListView1, line)), line);
    std::vector<int> lines;
    for (const int file : chosen) {
        const int line = lineOfPath.value(comparablePath(plan.paths[std::size_t(file)]), -1);
        if (line >= 0) {
            setLineStatus(*ListView1, line, kUnchanged);
            setLineFailure(*ListView1, line, QString());
        }
        lines.push_back(line);
    }
    ListView1->viewport()->repaint();
    const RunTally tally = changeFiles(
        int(chosen.size()), [&](int index) { return plan.paths[std::size_t(chosen[std::size_t(index)])]; },
        [&](int index) { return lines[std::size_t(index)]; },
        [&](int index, const std::string& path) {
            return change::applyFileChange(path, plan.requests[std::size_t(chosen[std::size_t(index)])], options);
        });
    showRunOutcome(tally.changed, tally.failed, tr("changed"));
}

}  // namespace quorvane::app
