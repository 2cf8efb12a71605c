// SPDX-License-Identifier: Apache-2.0
// Date and time pickers as the main window uses them: a date picker in the user's short date
// format with a drop-down calendar, a time picker in the form "H:mm:ss", and the conversion
// between a picker pair and the program's local date-time value. Both take typing as the user
// reads their text: a date or time typed with its separators, in the order shown, is the one
// they hold, and Tab moves on to the next control instead of walking the picker's fields.
#pragma once

#include <QString>

#include "convert/date_time.h"

class QDateEdit;
class QDateTimeEdit;
class QLocale;
class QTimeEdit;
class QWidget;

namespace quorvane::app {

// The short date format of `locale` with any two-digit year widened to four digits, as the date
// display text does; the C locale shows dates as yyyy-MM-dd.
QString shortDateFormatOf(const QLocale& locale);

// Makes `picker` take typing field by field: digits go into the current field; a field that
// holds as many digits as it can (four for the year, two for the others) moves on to the next,
// and so does a separator typed after a field's digits (a separator right after such a move is
// taken as the end of the field just typed); with the whole text selected typing starts over at
// the first field; Tab and Backtab leave the picker. Fields are kept as typed until typing moves
// elsewhere, so 02/29/2012 typed in a year without 29 February still gives 2012-02-29.
// newDatePicker and newTimePicker install it.
void takeTypingByField(QDateTimeEdit* picker);

// Gives `picker` the focus with its first field selected.
void focusFirstField(QDateTimeEdit* picker);

// A date picker named `objectName`, owned by `parent`.
QDateEdit* newDatePicker(const QString& objectName, QWidget* parent);
// A time picker ("H:mm:ss") named `objectName`, owned by `parent`.
QTimeEdit* newTimePicker(const QString& objectName, QWidget* parent);

// Sets both pickers to `value`: the date picker shows its date, the time picker its time of day.
void showInPickers(convert::DateTime value, QDateEdit* datePicker, QTimeEdit* timePicker);

// The date of `datePicker` plus the time of day of `timePicker`, to the second.
convert::DateTime composeFromPickers(const QDateEdit* datePicker, const QTimeEdit* timePicker);

}  // namespace quorvane::app
