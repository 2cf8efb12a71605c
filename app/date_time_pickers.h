// Date and time pickers as the main window uses them: a date picker in the user's short date
// format with a drop-down calendar, a time picker in the form "H:mm:ss", and the conversion
// between a picker pair and the program's local date-time value.
#pragma once

#include <QString>

#include "convert/date_time.h"

class QDateEdit;
class QTimeEdit;
class QWidget;

namespace quorvane::app {

// A date picker named `objectName`, owned by `parent`.
QDateEdit* newDatePicker(const QString& objectName, QWidget* parent);
// A time picker ("H:mm:ss") named `objectName`, owned by `parent`.
QTimeEdit* newTimePicker(const QString& objectName, QWidget* parent);

// Sets both pickers to `value`: the date picker shows its date, the time picker its time of day.
void showInPickers(convert::DateTime value, QDateEdit* datePicker, QTimeEdit* timePicker);

// The date of `datePicker` plus the time of day of `timePicker`, to the second.
convert::DateTime composeFromPickers(const QDateEdit* datePicker, const QTimeEdit* timePicker);

}  // namespace quorvane::app
