// SPDX-License-Identifier: Apache-2.0
#include "app/date_time_pickers.h"

#include <QApplication>
#include <QDateEdit>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QTimeEdit>

#include <algorithm>
#include <optional>

#include "app/visible_frames.h"
#include "convert/display_text.h"

namespace quorvane::app {
namespace {

// The fields of a picker as typed, which may not yet make a valid date (day 31 typed before the
// month) or time.
struct TypedFields {
    int year, month, day, hour, minute, second;
};

class FieldTyping : public QObject {
public:
    explicit FieldTyping(QDateTimeEdit* picker) : QObject(picker), picker_(picker) { picker->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != picker_) return false;
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) forget();
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            // From the last field Tab leaves the picker, from the first Backtab does.
            const bool backwards = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
            picker_->setCurrentSectionIndex(backwards ? 0 : picker_->sectionCount() - 1);
            forget();
            return false;
        }
        const QString text = key->text();
        const bool typesCharacter = text.size() == 1 && text.front().isPrint() &&
                                    !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (!typesCharacter || !allFieldsNumeric()) {
            forget();
            return false;
        }
        type(text.front());
        return true;
    }

private:
    static int maxDigitsOf(QDateTimeEdit::Section section) { return section == QDateTimeEdit::YearSection ? 4 : 2; }

    bool allFieldsNumeric() const
    {
        const QString format = picker_->displayFormat();
        return !format.contains(QStringLiteral("MMM")) && !format.contains(QStringLiteral("ddd"));
    }

    bool isTwelveHour() const { return picker_->displayFormat().contains(QStringLiteral("ap"), Qt::CaseInsensitive); }

    // A letter typed into the AM/PM field: the half of the day whose text starts with it.
    void typeHalfOfDay(QChar typed)
    {
        const QLocale locale = picker_->locale();
        const bool pm = locale.pmText().startsWith(typed, Qt::CaseInsensitive);
        if (!pm && !locale.amText().startsWith(typed, Qt::CaseInsensitive)) return;
        startFields();
        fields_->hour = fields_->hour % 12 + (pm ? 12 : 0);
        show();
        selectField(section_);
    }

    void startFields()
    {
        if (fields_) return;
        const QDateTime shown = picker_->dateTime();
        fields_ = TypedFields{shown.date().year(), shown.date().month(), shown.date().day(),
                              shown.time().hour(), shown.time().minute(), shown.time().second()};
    }

    void forget()
    {
        fields_.reset();
        digits_.clear();
    }

    bool wholeTextSelected() const
    {
        const QLineEdit* edit = picker_->findChild<QLineEdit*>();
        return edit && edit->hasSelectedText() && edit->selectedText().size() == edit->text().size();
    }

    void type(QChar typed)
    {
        if (wholeTextSelected()) {
            forget();
            picker_->setCurrentSectionIndex(0);
        }
        // Typing that a click or an arrow key moved to another field starts there afresh.
        if (picker_->currentSectionIndex() != section_) digits_.clear();
        section_ = picker_->currentSectionIndex();
        if (picker_->sectionAt(section_) == QDateTimeEdit::AmPmSection) {
            if (!typed.isDigit()) typeHalfOfDay(typed);
            return;
        }
        if (!typed.isDigit()) {
            // A separator ends the field being typed; one right after a full field is its end too.
            // A letter typed straight after the seconds is already the AM or PM.
            if (!digits_.isEmpty()) moveToField(section_ + 1);
            if (typed.isLetter() && picker_->sectionAt(section_) == QDateTimeEdit::AmPmSection) typeHalfOfDay(typed);
            return;
        }
        startFields();
        digits_ += typed;
        const QDateTimeEdit::Section section = picker_->sectionAt(section_);
        const int number = digits_.toInt();
        switch (section) {
        case QDateTimeEdit::YearSection: fields_->year = number; break;
        case QDateTimeEdit::MonthSection: fields_->month = number; break;
        case QDateTimeEdit::DaySection: fields_->day = number; break;
        case QDateTimeEdit::HourSection:
            fields_->hour = isTwelveHour() && number <= 12 ? number % 12 + (fields_->hour >= 12 ? 12 : 0) : number;
            break;
        case QDateTimeEdit::MinuteSection: fields_->minute = number; break;
        case QDateTimeEdit::SecondSection: fields_->second = number; break;
        default: break;
        }
        show();
        if (digits_.size() >= maxDigitsOf(section)) moveToField(section_ + 1);
        else selectField(section_);
    }

    // Shows the typed fields, each brought into its range, and keeps them as typed.
    void show()
    {
        const int year = std::clamp(fields_->year, picker_->minimumDate().year(), picker_->maximumDate().year());
        const int month = std::clamp(fields_->month, 1, 12);
        const int day = std::clamp(fields_->day, 1, QDate(year, month, 1).daysInMonth());
        const QTime time(std::clamp(fields_->hour, 0, 23), std::clamp(fields_->minute, 0, 59),
                         std::clamp(fields_->second, 0, 59));
        // A time picker holds one fixed date, which a date of another day would push to its end.
        if (picker_->displayedSections() & QDateTimeEdit::DateSections_Mask) picker_->setDate(QDate(year, month, day));
        if (picker_->displayedSections() & QDateTimeEdit::TimeSections_Mask) picker_->setTime(time);
    }

    void moveToField(int index)
    {
        digits_.clear();
        section_ = std::min(index, picker_->sectionCount() - 1);
        selectField(section_);
    }

    void selectField(int index)
    {
        picker_->setCurrentSectionIndex(index);
        picker_->setSelectedSection(picker_->sectionAt(index));
    }

    QDateTimeEdit* picker_;
    std::optional<TypedFields> fields_;
    QString digits_;   // typed into field section_ since typing moved there
    int section_ = -1;
};

}  // namespace

QString pickerFormatOf(std::string_view strftimeFormat)
{
    QString format;
    QString literal;  // quoted in the picker's format, where letters are fields
    const auto flushLiteral = [&] {
        if (literal.isEmpty()) return;
        format += u'\'' + literal.replace(u'\'', QStringLiteral("''")) + u'\'';
        literal.clear();
    };
    const QString text = QString::fromUtf8(strftimeFormat.data(), qsizetype(strftimeFormat.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'%' || i + 1 == text.size()) {
            literal += text[i];
            continue;
        }
        const char conversion = text[++i].toLatin1();
        const char* field = nullptr;
        switch (conversion) {
        case 'Y': field = "yyyy"; break;
        case 'm': field = "MM"; break;
        case 'd': field = "dd"; break;
        case 'e': field = "d"; break;
        case 'b': case 'h': field = "MMM"; break;
        case 'B': field = "MMMM"; break;
        case 'a': field = "ddd"; break;
        case 'A': field = "dddd"; break;
        case 'H': field = "HH"; break;
        case 'k': field = "H"; break;
        case 'I': field = "hh"; break;
        case 'l': field = "h"; break;
        case 'M': field = "mm"; break;
        case 'S': field = "ss"; break;
        case 'p': field = "AP"; break;
        case 'P': field = "ap"; break;
        case '%': literal += u'%'; continue;
        case 'n': case 't': literal += u' '; continue;
        default: return {};
        }
        flushLiteral();
        format += QLatin1String(field);
    }
    flushLiteral();
    return format;
}

void takeTypingByField(QDateTimeEdit* picker)
{
    new FieldTyping(picker);
}

void focusFirstField(QDateTimeEdit* picker)
{
    picker->setFocus(Qt::TabFocusReason);
    picker->setCurrentSectionIndex(0);
    picker->setSelectedSection(picker->sectionAt(0));
}

QDateEdit* newDatePicker(const QString& objectName, QWidget* parent)
{
    auto* picker = new QDateEdit(parent);
    picker->setObjectName(objectName);
    const QString format = pickerFormatOf(convert::displayDateFormat());
    picker->setDisplayFormat(format.isEmpty() ? QStringLiteral("yyyy-MM-dd") : format);
    takeTypingByField(picker);
    picker->setCalendarPopup(true);
    picker->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    picker->setDate(QDate::currentDate());
    return picker;
}

QTimeEdit* newTimePicker(const QString& objectName, QWidget* parent)
{
    auto* picker = new QTimeEdit(parent);
    picker->setObjectName(objectName);
    const QString format = pickerFormatOf(convert::displayTimeFormat());
    picker->setDisplayFormat(format.isEmpty() ? QStringLiteral("HH:mm:ss") : format);
    takeTypingByField(picker);
    picker->setTime(QTime::currentTime());
    return picker;
}

DateTimeCellEditor::DateTimeCellEditor(const QString& objectName, const QString& dateName, const QString& timeName,
                                       QWidget* parent)
    : QFrame(parent), layout_(new QHBoxLayout(this)), date_(newDatePicker(dateName, this)), time_(newTimePicker(timeName, this))
{
    setObjectName(objectName);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(2);
    setFocusProxy(date_);  // an item view gives the focus to the editor itself
    time_->setButtonSymbols(QAbstractSpinBox::NoButtons);
    keepOutlineVisibleOnBase(time_);  // without buttons its frame is all that marks it out
    for (QDateTimeEdit* picker : {static_cast<QDateTimeEdit*>(date_), static_cast<QDateTimeEdit*>(time_)}) {
        // The hint fits the widest text of the picker's range in its font, with its style's
        // frame and buttons.
        picker->setFixedWidth(picker->sizeHint().width());
        layout_->addWidget(picker);
    }
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* newFocus) {
        if (!newFocus || isHidden()) return;
        for (const QWidget* widget = newFocus; widget; widget = widget->parentWidget())
            if (widget == this) return;  // its calendar pop-up lies inside it too
        QFocusEvent left(QEvent::FocusOut, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(this, &left);
    });
}

convert::DateTime DateTimeCellEditor::value() const
{
    return composeFromPickers(date_, time_);
}

void DateTimeCellEditor::setValue(convert::DateTime value)
{
    showInPickers(value, date_, time_);
}

void DateTimeCellEditor::setToNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    date_->setDate(now.date());
    time_->setTime(now.time());
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
