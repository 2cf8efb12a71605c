// SPDX-License-Identifier: Apache-2.0
#include "app/csv_file_dialog.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "app/dialog_folder.h"
#include "app/message_box.h"

namespace quorvane::app {
namespace {

CsvFileChooser& installedChooser()
{
    static CsvFileChooser chooser;
    return chooser;
}

// Qt's own dialog adds the default suffix before it asks about replacing a file; a platform
// dialog may hand back the name as typed, after asking about that name only. So a name that
// gains its suffix here and then names an existing file is asked about once more.
bool mayReplace(QWidget* parent, const QString& typed, const QString& fileName)
{
    if (typed == fileName || !QFile::exists(fileName)) return true;
    return QMessageBox::question(parent, QString::fromLatin1(kApplicationTitle),
                                 QCoreApplication::translate("quorvane::app::CsvFileDialog", "%1 already exists.\nDo you want to replace it?").arg(fileName)) ==
           QMessageBox::Yes;
}

QString typedInDialog(QWidget* parent)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Qt's dialog matches names in any letter case; the bracketed form keeps platform dialogs
    // that match case-sensitively from hiding "report.csv" or "Report.Csv".
    dialog.setNameFilter(QCoreApplication::translate("quorvane::app::CsvFileDialog", "CSV File (*.[cC][sS][vV])"));
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (const QString start = dialogStartFolder(); !start.isEmpty()) dialog.setDirectory(start);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().first();
}

}  // namespace

QString csvFileName(const QString& typed)
{
    const qsizetype nameStart = typed.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = typed.lastIndexOf(QLatin1Char('.'));
    if (typed.isEmpty() || nameStart == typed.size()) return typed;  // no file name to give a suffix
    if (dot <= nameStart) return typed + QStringLiteral(".csv");
    if (dot == typed.size() - 1) return typed + QStringLiteral("csv");
    return typed;
}

QString chooseCsvFile(QWidget* parent)
{
    const bool realDialog = !installedChooser();
    const QString typed = realDialog ? typedInDialog(parent) : installedChooser()();
    if (typed.isEmpty()) return QString();
    // As in Qt's dialog, a folder's name gets no suffix: saving to it fails and says so.
    const QString fileName = QFileInfo(typed).isDir() ? typed : csvFileName(typed);
    if (realDialog && !mayReplace(parent, typed, fileName)) return QString();
    rememberDialogFolder(QFile::encodeName(fileName).toStdString());
    return fileName;
}

CsvFileChooser setCsvFileChooser(CsvFileChooser chooser)
{
    return std::exchange(installedChooser(), std::move(chooser));
}

}  // namespace quorvane::app
