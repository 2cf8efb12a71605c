// SPDX-License-Identifier: Apache-2.0
// The CSV export commands of the main window: every listed file behind the progress window
// (BitBtn8Click), or the selected file alone (BitBtn9Click).
#include <QFile>
#include <QPushButton>
#include <QTreeWidget>

#include "app/csv_file_dialog.h"
#include "app/file_list_lines.h"
#include "app/file_list_view.h"
#include "app/line_value_reader.h"
#include "app/main_form.h"
#include "app/message_box.h"
#include "export/csv_export.h"
#include "app/csv_progress_window.h"

namespace quorvane::app {
namespace {

constexpr char kExportFailedStep[] = QT_TRANSLATE_NOOP("quorvane::app::TForm1", "Export failed");

}  // namespace

void TForm1::BitBtn8Click()
{
    if (lineCount(*ListView1) == 0) {
        showMessage(this, tr("Please select files you want to export properties to CSV file!"));
        return;
    }
    const QString fileName = chooseCsvFile(this);
    if (fileName.isEmpty()) return;
    std::vector<std::string> paths;
    for (int line = 0; line < lineCount(*ListView1); ++line) {
        setLineStatus(*ListView1, line, kUnchanged);
        setLineFailure(*ListView1, line, QString());
        paths.push_back(linePath(*ListView1, line));
    }
    // The export reads the files in list order, so a file's index is its line.
    Form9->prepareExport(fileName, std::move(paths), [this](int line, const Failure& failure) {
        setLineFailure(*ListView1, line, failureReason(tr(kExportFailedStep), failure));
    });
    {
        // The export puts back what its reads move, as the background reads do: one at a time.
        const LineValueReader::Pause paused(fileListView_->reader());
        Form9->exec();
    }
    reselectFirstLine(*ListView1);
    const exporting::TForm9::Outcome& outcome = Form9->lastOutcome();
    if (outcome.saved) showRunOutcome(outcome.exported, outcome.failed, tr("exported"));
}

void TForm1::BitBtn9Click()
{
    const int line = selectedLine(*ListView1);
    if (line < 0) return;
    const QString fileName = chooseCsvFile(this);
    if (fileName.isEmpty()) return;
    exporting::ExportList lines;
    exporting::WriteCsvHeader(lines);
    const Failure failure = [&] {
        const LineValueReader::Pause paused(fileListView_->reader());
        return exporting::appendFileLine(linePath(*ListView1, line), lines);
    }();
    setLineFailure(*ListView1, line, failureReason(tr(kExportFailedStep), failure));
    if (exporting::saveExportList(QFile::encodeName(fileName).toStdString(), lines).failed()) {
        showMessage(this, tr("Cannot save to %1\nplease close other application that open this file!").arg(fileName));
        showSelectedLineFailure();
        return;
    }
    showRunOutcome(failure.failed() ? 0 : 1, failure.failed() ? 1 : 0, tr("exported"));
}

}  // namespace quorvane::app
