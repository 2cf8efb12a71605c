// SPDX-License-Identifier: Apache-2.0
#include "app/property_display.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QToolButton>
#include <QTreeWidget>

#include <initializer_list>

#include "app/custom_properties_page.h"
#include "app/date_time_pickers.h"
#include "app/file_list_lines.h"
#include "app/file_list_view.h"
#include "app/line_value_reader.h"
#include "app/batch_controls.h"
#include "app/main_form.h"
#include "app/property_table.h"
#include "change/file_display.h"
#include "fileinfo/snapshot_display.h"
#include "props/catalogue.h"

namespace quorvane::app {
namespace {

void showAttribute(QCheckBox* box, fileinfo::AttributeWord word, fileinfo::AttributeWord bit)
{
    box->setCheckState((word & bit) ? Qt::Checked : Qt::Unchecked);
}

void showSnapshot(TForm1& form, const fileinfo::FileSnapshot& snapshot)
{
    showInPickers(convert::FileTimeToDateTime(snapshot.creationTime), form.DateTimePicker9, form.DateTimePicker10);
    showInPickers(convert::FileTimeToDateTime(snapshot.lastWriteTime), form.DateTimePicker11, form.DateTimePicker12);
    const convert::DateTime lastAccess = convert::FileTimeToDateTime(snapshot.lastAccessTime);
    if (fileinfo::isShownLastAccess(lastAccess)) showInPickers(lastAccess, form.DateTimePicker13, form.DateTimePicker14);
    showAttribute(form.CheckBox16, snapshot.attributes, fileinfo::kReadOnly);
    showAttribute(form.CheckBox17, snapshot.attributes, fileinfo::kArchive);
    showAttribute(form.CheckBox18, snapshot.attributes, fileinfo::kHidden);
    showAttribute(form.CheckBox23, snapshot.attributes, fileinfo::kSystem);
}

void showRows(PropertyTable& table, const props::RowTexts* rows)
{
    for (int row = 0; row < props::kRowCount; ++row)
        table.setRowValue(row, rows ? QString::fromStdString((*rows)[std::size_t(row)]) : QString());
}

}  // namespace

void showFileDisplay(TForm1& form, const change::FileDisplay& display)
{
    if (display.snapshot) showSnapshot(form, *display.snapshot);
    showRows(*form.ListView3, display.rows ? &*display.rows : nullptr);
    // Custom properties are edited only of a file whose properties were read: a damaged
    // compound document shows empty rows, but its custom properties are unknown, not none.
    Failure customFailure = display.customFailure;
    if (!display.succeeded) customFailure = display.failure;
    else if (display.rowsFailure.failed()) customFailure = display.rowsFailure;
    if (customFailure.failed())
        form.CustomPage->showReadFailure(failureReason(QCoreApplication::translate("quorvane::app::PropertyDisplay", "Cannot read"), customFailure));
    else
        form.CustomPage->showRead(display.custom);
}

void enableSelectionCommands(TForm1& form, bool hasSelection)
{
    for (QWidget* control : std::initializer_list<QWidget*>{form.ToolButton2, form.BitBtn6, form.BitBtn9,
                                                            form.ToolButton12, form.GroupBox3, form.GroupBox1,
                                                            form.CustomPage})
        control->setEnabled(hasSelection);
    form.Remove1->setEnabled(hasSelection);
    if (hasSelection) {
        form.BitBtn2->setEnabled(true);
        form.BitBtn8->setEnabled(true);
    }
}

// Runs on every change of the selection (not on a click of the line already selected). The
// flag keeps out the notifications that the display itself causes, such as a changed status
// picture, and a second display while one runs.
void TForm1::ListView1Change()
{
    if (displayRunning_) return;
    const QScopedValueRollback<bool> running(displayRunning_, true);

    const int line = selectedLine(*ListView1);
    enableSelectionCommands(*this, line >= 0);
    if (line < 0) {
        shown_.reset();
        showRows(*ListView3, nullptr);
        CustomPage->clear();
        showSelectedLineFailure();
        return;
    }
    displayLine(line);
    showSelectedLineFailure();
}

void TForm1::displayLine(int line)
{
    const std::string path = linePath(*ListView1, line);
    const change::FileDisplay display = [&] {
        // Its put-back must not cross that of a background read of the same file.
        const LineValueReader::Pause paused(fileListView_->reader());
        return change::ReadFileForDisplay(path);
    }();
    showFileDisplay(*this, display);
    const auto previous = static_cast<FileStatus>(lineStatus(*ListView1, line));
    const FileStatus status = change::statusAfterDisplay(previous, display.succeeded);
    setLineStatus(*ListView1, line, status);
    // The reason follows the picture: a good read does not forget why the last change failed.
    if (!display.succeeded)
        setLineFailure(*ListView1, line, failureReason(QCoreApplication::translate("quorvane::app::PropertyDisplay", "Cannot read"), display.failure));
    else if (status != kChangeFailed)
        setLineFailure(*ListView1, line, QString());
    shown_ = ShownFile{path, display.succeeded, display.stamp, singleChangeValuesOf(*this).rowValues};
}

}  // namespace quorvane::app
