// SPDX-License-Identifier: Apache-2.0
#include "app/batch_controls.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDateTime>
#include <QTimeEdit>
#include <QTreeWidget>

#include <array>

#include "app/date_time_pickers.h"
#include "app/main_form.h"
#include "app/property_table.h"

namespace quorvane::app {
namespace {

using fileinfo::BoxState;

// One file time of the "Batch Change" page, in FileTimeIndex order.
struct BatchTimeLine {
    QCheckBox* applyDate;
    QDateEdit* datePicker;
    QCheckBox* applyTime;
    QTimeEdit* timePicker;
};

std::array<BatchTimeLine, 3> batchTimeLines(const TForm1& form)
{
    return {{{form.CheckBox9, form.DateTimePicker1, form.CheckBox10, form.DateTimePicker2},
             {form.CheckBox11, form.DateTimePicker3, form.CheckBox12, form.DateTimePicker4},
             {form.CheckBox13, form.DateTimePicker5, form.CheckBox14, form.DateTimePicker6}}};
}

// The attribute boxes of a page in the order of AttributeBoxes' fields.
struct AttributeBoxControls {
    QCheckBox* readOnly;
    QCheckBox* archive;
    QCheckBox* hidden;
    QCheckBox* system;
};

fileinfo::AttributeBoxes attributeBoxesOf(const AttributeBoxControls& boxes)
{
    return {boxStateOf(boxes.readOnly), boxStateOf(boxes.archive), boxStateOf(boxes.hidden),
            boxStateOf(boxes.system)};
}

std::string utf8Of(const QString& text)
{
    return text.toUtf8().toStdString();
}

}  // namespace

BoxState boxStateOf(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked: return BoxState::Checked;
    case Qt::Unchecked: return BoxState::Unchecked;
    case Qt::PartiallyChecked: break;
    }
    return BoxState::Grayed;
}

void setBoxState(QCheckBox* box, BoxState state)
{
    switch (state) {
    case BoxState::Checked: box->setCheckState(Qt::Checked); return;
    case BoxState::Unchecked: box->setCheckState(Qt::Unchecked); return;
    case BoxState::Grayed: box->setCheckState(Qt::PartiallyChecked); return;
    }
}

change::BatchSettings batchSettingsOf(const TForm1& form)
{
    change::BatchSettings settings;
    const std::array<BatchTimeLine, 3> lines = batchTimeLines(form);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const BatchTimeLine& line = lines[index];
        const convert::DateTime pickers = composeFromPickers(line.datePicker, line.timePicker);
        settings.fileTimes[index] = {line.applyDate->isChecked(), line.applyTime->isChecked(), pickers, pickers};
    }
    settings.attributes = attributeBoxesOf({form.CheckBox1, form.CheckBox2, form.CheckBox3, form.CheckBox8});
    for (int row = 0; row < props::kRowCount; ++row) {
        settings.rowValues[std::size_t(row)] = utf8Of(form.ListView2->rowValue(row));
        settings.rowChecks[std::size_t(row)] = form.ListView2->topLevelItem(row)->checkState(0) == Qt::Checked;
    }
    settings.backup = form.CheckBox4->isChecked();
    settings.removeAllCustom = form.RemoveAllCustomBox->isChecked();
    settings.valuesAreTemplates = form.ValuesAreTemplatesBox->isChecked();
    return settings;
}

void showBatchSettings(TForm1& form, const change::BatchSettings& settings)
{
    const std::array<BatchTimeLine, 3> lines = batchTimeLines(form);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const BatchTimeLine& line = lines[index];
        const change::FileTimeSetting& time = settings.fileTimes[index];
        // The date of the date value at the time of day of the time value.
        showInPickers(fileinfo::ComposeDateTime(time.datePicker, std::nullopt, time.timePicker), line.datePicker,
                      line.timePicker);
        // A box that changes state runs its click handler, which enables or disables its picker.
        line.applyDate->setChecked(time.applyDate);
        line.applyTime->setChecked(time.applyTime);
    }
    setBoxState(form.CheckBox1, settings.attributes.readOnly);
    setBoxState(form.CheckBox2, settings.attributes.archive);
    setBoxState(form.CheckBox3, settings.attributes.hidden);
    setBoxState(form.CheckBox8, settings.attributes.system);
    form.CheckBox4->setChecked(settings.backup);
    form.RemoveAllCustomBox->setChecked(settings.removeAllCustom);
    form.ValuesAreTemplatesBox->setChecked(settings.valuesAreTemplates);
    for (int row = 0; row < props::kRowCount; ++row) {
        form.ListView2->setRowValue(row, QString::fromStdString(settings.rowValues[std::size_t(row)]));
        form.ListView2->topLevelItem(row)->setCheckState(
            0, settings.rowChecks[std::size_t(row)] ? Qt::Checked : Qt::Unchecked);
    }
}

change::SingleChangeValues singleChangeValuesOf(const TForm1& form)
{
    change::SingleChangeValues values;
    for (int row = 0; row < props::kRowCount; ++row)
        values.rowValues[std::size_t(row)] = utf8Of(form.ListView3->rowValue(row));
    const std::array<convert::DateTime, 3> pickerPairs{
        composeFromPickers(form.DateTimePicker9, form.DateTimePicker10),
        composeFromPickers(form.DateTimePicker11, form.DateTimePicker12),
        composeFromPickers(form.DateTimePicker13, form.DateTimePicker14)};
    values.datePickers = pickerPairs;
    values.timePickers = pickerPairs;
    values.attributes = attributeBoxesOf({form.CheckBox16, form.CheckBox17, form.CheckBox18, form.CheckBox23});
    return values;
}

convert::DateTime currentLocalDateTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    convert::CalendarFields fields;
    fields.year = now.date().year();
    fields.month = now.date().month();
    fields.day = now.date().day();
    fields.hour = now.time().hour();
    fields.minute = now.time().minute();
    fields.second = now.time().second();
    return convert::encodeDateTime(fields).value_or(0.0);
}

}  // namespace quorvane::app
