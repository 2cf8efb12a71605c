// SPDX-License-Identifier: Apache-2.0
// Date and time pickers as the main window uses them: a date picker with a drop-down calendar and
// a time picker, both in the form of the date-time display text (the locale's short date, its
// long time with seconds, 12- or 24-hour as the locale has it), and the conversion between a
// picker pair and the program's local date-time value. Both take typing as the user reads their
// text: a date or time typed with its separators, in the order shown, is the one they hold, and
// Tab moves on to the next control instead of walking the picker's fields.
#pragma once

#include <QFrame>
#include <QString>

#include <string_view>

#include "convert/date_time.h"

class QDateEdit;
class QDateTimeEdit;
class QLocale;
class QTimeEdit;
class QHBoxLayout;
class QWidget;

namespace quorvane::app {

// The picker display format that shows what the strftime format `strftimeFormat` writes
// (convert/display_text.h gives the display text's); "" when it holds a conversion that has none.
QString pickerFormatOf(std::string_view strftimeFormat);

// Makes `picker` take typing field by field: digits go into the current field; a field that
// holds as many digits as it can (four for the year, two for the others) moves on to the next,
// and so does a separator typed after a field's digits (a separator right after such a move is
// taken as the end of the field just typed); in a 12-hour picker the hour typed keeps the shown
// half of the day, an hour past 12 is taken as a 24-hour one, and a letter of the AM or PM text
// in its field picks that half; with the whole text selected typing starts over at
// the first field; Tab and Backtab leave the picker. Fields are kept as typed until typing moves
// elsewhere, so 02/29/2012 typed in a year without 29 February still gives 2012-02-29.
// newDatePicker and newTimePicker install it.
void takeTypingByField(QDateTimeEdit* picker);

// Gives `picker` the focus with its first field selected.
void focusFirstField(QDateTimeEdit* picker);

// A date picker named `objectName`, owned by `parent`.
QDateEdit* newDatePicker(const QString& objectName, QWidget* parent);
// A time picker named `objectName`, owned by `parent`.
QTimeEdit* newTimePicker(const QString& objectName, QWidget* parent);

// The date-time editor of a table cell, as the property tables' date editor and the custom
// properties' date cells have it: a date picker and a time picker side by side, each as wide as
// its text, the time stepped with the Up and Down keys or the wheel instead of arrow buttons, so
// that both fit a cell about 200 pixels wide; more controls may follow in row(). The focus
// leaving it (for anything but its pickers and their calendar) is sent to it as its own FocusOut,
// which is how an item view's delegate learns that an editor of several controls was left.
class DateTimeCellEditor : public QFrame {
public:
    DateTimeCellEditor(const QString& objectName, const QString& dateName, const QString& timeName, QWidget* parent);

    QDateEdit* datePicker() const { return date_; }
    QTimeEdit* timePicker() const { return time_; }
    QHBoxLayout* row() const { return layout_; }

    // The date of the date picker plus the time of day of the time picker; setValue shows
    // `value` in both.
    convert::DateTime value() const;
    void setValue(convert::DateTime value);
    // Shows the current local date and time.
    void setToNow();

private:
    QHBoxLayout* layout_;
    QDateEdit* date_;
    QTimeEdit* time_;
};

// Sets both pickers to `value`: the date picker shows its date, the time picker its time of day.
void showInPickers(convert::DateTime value, QDateEdit* datePicker, QTimeEdit* timePicker);

// The date of `datePicker` plus the time of day of `timePicker`, to the second.
convert::DateTime composeFromPickers(const QDateEdit* datePicker, const QTimeEdit* timePicker);

}  // namespace quorvane::app
