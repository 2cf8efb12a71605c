#include "app/date_time_pickers.h"

#include <QDateEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QTimeEdit>

namespace quorvane::app {
namespace {

// The short date format of the user's locale with any two-digit year widened to four digits,
// as the date display text does; the C locale shows dates as yyyy-MM-dd there too.
QString userShortDateFormat()
{
    const QLocale locale = QLocale::system();
    if (locale.language() == QLocale::C) return QStringLiteral("yyyy-MM-dd");
    QString format = locale.dateFormat(QLocale::ShortFormat);
    static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
    format.replace(twoDigitYear, QStringLiteral("yyyy"));
    return format;
}

}  // namespace

QDateEdit* newDatePicker(const QString& objectName, QWidget* parent)
{
    auto* picker = new QDateEdit(parent);
    picker->setObjectName(objectName);
    picker->setDisplayFormat(userShortDateFormat());
    picker->setCalendarPopup(true);
    picker->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    picker->setDate(QDate::currentDate());
    return picker;
}

QTimeEdit* newTimePicker(const QString& objectName, QWidget* parent)
{
    auto* picker = new QTimeEdit(parent);
    picker->setObjectName(objectName);
    picker->setDisplayFormat(QStringLiteral("H:mm:ss"));
    picker->setTime(QTime::currentTime());
    return picker;
}

void showInPickers(convert::DateTime value, QDateEdit* datePicker, QTimeEdit* timePicker)
{
    const convert::CalendarFields fields = convert::decodeDateTime(value);
    datePicker->setDate(QDate(fields.year, fields.month, fields.day));
    timePicker->setTime(QTime(fields.hour, fields.minute, fields.second));
}

convert::DateTime composeFromPickers(const QDateEdit* datePicker, const QTimeEdit* timePicker)
{
    const QDate date = datePicker->date();
    const QTime time = timePicker->time();
    convert::CalendarFields fields;
    fields.year = date.year();
    fields.month = date.month();
    fields.day = date.day();
    fields.hour = time.hour();
    fields.minute = time.minute();
    fields.second = time.second();
    // Both pickers only hold valid calendar fields, so the value always exists.
    return convert::encodeDateTime(fields).value_or(0.0);
}

}  // namespace quorvane::app
