// SPDX-License-Identifier: Apache-2.0
// What assistive technology reads for the main window's controls whose captions do not say what
// they set: the file-time fields and their apply boxes by the time they set, the tables and the
// file list by what they hold, and the status bar's message as it changes. Object names and
// captions stay as they are; only accessible names and descriptions are added.
#include "app/main_form.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimeEdit>
#include <QTreeWidget>

#include <array>

#include "app/custom_properties_page.h"
#include "app/property_table.h"

namespace quorvane::app {
namespace {

// One file time's controls on both change pages and what they are called, in the order
// creation, modification, last access.
struct FileTimeNames {
    const char* date;
    const char* timeOfDay;
    const char* batchDate;
    const char* batchTimeOfDay;
    const char* applyDate;
    const char* applyTimeOfDay;
};

void name(QWidget* control, const QString& accessibleName, const QString& description = QString())
{
    control->setAccessibleName(accessibleName);
    if (!description.isEmpty()) control->setAccessibleDescription(description);
}

}  // namespace

void TForm1::nameControlsForAssistiveTechnology()
{
    static constexpr std::array<FileTimeNames, 3> kFileTimeNames{{
        {QT_TR_NOOP("Creation date"),
         QT_TR_NOOP("Creation time of day"),
         QT_TR_NOOP("Creation date of all files"),
         QT_TR_NOOP("Creation time of day of all files"),
         QT_TR_NOOP("Apply the creation date"),
         QT_TR_NOOP("Apply the creation time of day")},
        {QT_TR_NOOP("Modification date"),
         QT_TR_NOOP("Modification time of day"),
         QT_TR_NOOP("Modification date of all files"),
         QT_TR_NOOP("Modification time of day of all files"),
         QT_TR_NOOP("Apply the modification date"),
         QT_TR_NOOP("Apply the modification time of day")},
        {QT_TR_NOOP("Last access date"),
         QT_TR_NOOP("Last access time of day"),
         QT_TR_NOOP("Last access date of all files"),
         QT_TR_NOOP("Last access time of day of all files"),
         QT_TR_NOOP("Apply the last access date"),
         QT_TR_NOOP("Apply the last access time of day")},
    }};
    const std::array<QDateEdit*, 3> singleDates{DateTimePicker9, DateTimePicker11, DateTimePicker13};
    const std::array<QTimeEdit*, 3> singleTimes{DateTimePicker10, DateTimePicker12, DateTimePicker14};
    const std::array<QDateEdit*, 3> batchDates{DateTimePicker1, DateTimePicker3, DateTimePicker5};
    const std::array<QTimeEdit*, 3> batchTimes{DateTimePicker2, DateTimePicker4, DateTimePicker6};
    const std::array<QCheckBox*, 3> applyDates{CheckBox9, CheckBox11, CheckBox13};
    const std::array<QCheckBox*, 3> applyTimes{CheckBox10, CheckBox12, CheckBox14};
    for (std::size_t line = 0; line < kFileTimeNames.size(); ++line) {
        const FileTimeNames& names = kFileTimeNames[line];
        name(singleDates[line], tr(names.date));
        name(singleTimes[line], tr(names.timeOfDay));
        name(batchDates[line], tr(names.batchDate));
        name(batchTimes[line], tr(names.batchTimeOfDay));
        name(applyDates[line], tr(names.applyDate), tr("When ticked, every file gets the date beside it"));
        name(applyTimes[line], tr(names.applyTimeOfDay), tr("When ticked, every file gets the time beside it"));
    }

    name(ListView1, tr("Files"), tr("The files to change; a line's description tells how its last change went"));
    name(ListFilter, tr("Filter the list"));
    name(PageControl1, tr("Pages"));
    name(ListView3, tr("Document properties"),
         tr("The selected file's properties; F2 or Enter edits the value of the selected row"));
    name(ListView2, tr("Batch values"),
         tr("Ticked rows are written to every file; Space ticks a row, F2 or Enter edits its value"));
    name(CustomPage->CustomTable, tr("Custom properties"),
         tr("The selected file's custom properties; F2 edits a cell, Delete removes the selected lines"));

    // A screen reader announces a name change of the status bar: its name is the message it shows.
    QStatusBar* bar = statusBar();
    const QString restingText = StatusBar1Panel->text();
    name(bar, restingText);
    QObject::connect(bar, &QStatusBar::messageChanged, bar, [bar, restingText](const QString& message) {
        bar->setAccessibleName(message.isEmpty() ? restingText : message);
    });
}

}  // namespace quorvane::app
