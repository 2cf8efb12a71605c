// SPDX-License-Identifier: Apache-2.0
#include "app/value_table_file_dialog.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>

#include "app/dialog_folder.h"

namespace quorvane::app {
namespace {

ValueTableChooser& installedChooser()
{
    static ValueTableChooser chooser;
    return chooser;
}

QString chosenInDialog(QWidget* parent)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QCoreApplication::translate("quorvane::app::ValueTableFileDialog",
                                                       "Tables (*.[cC][sS][vV] *.[jJ][sS][oO][nN])"),
                           QCoreApplication::translate("quorvane::app::ValueTableFileDialog", "All files (*)")});
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    if (const QString start = dialogStartFolder(); !start.isEmpty()) dialog.setDirectory(start);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().first();
}

}  // namespace

QString chooseValueTable(QWidget* parent)
{
    const QString fileName = installedChooser() ? installedChooser()() : chosenInDialog(parent);
    if (!fileName.isEmpty()) rememberDialogFolder(QFile::encodeName(fileName).toStdString());
    return fileName;
}

ValueTableChooser setValueTableChooser(ValueTableChooser chooser)
{
    return std::exchange(installedChooser(), std::move(chooser));
}

}  // namespace quorvane::app
