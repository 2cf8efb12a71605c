#include "app/csv_file_dialog.h"

#include <QFileDialog>

namespace quorvane::app {
namespace {

CsvFileChooser& installedChooser()
{
    static CsvFileChooser chooser;
    return chooser;
}

}  // namespace

QString chooseCsvFile(QWidget* parent)
{
    if (installedChooser()) return installedChooser()();
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("CSV File (*.CSV)"));
    dialog.setDefaultSuffix(QStringLiteral("CSV"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().first();
}

CsvFileChooser setCsvFileChooser(CsvFileChooser chooser)
{
    return std::exchange(installedChooser(), std::move(chooser));
}

}  // namespace quorvane::app
