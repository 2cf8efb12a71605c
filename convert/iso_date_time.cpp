// SPDX-License-Identifier: Apache-2.0
#include "convert/iso_date_time.h"

#include "convert/machine_date_text.h"

namespace quorvane::convert {

// Reads exactly `count` decimal digits at `position`; nullopt when any is not a digit or the
// text ends first.
std::optional<int> digitsAt(std::string_view text, std::size_t position, std::size_t count)
{
    if (position + count > text.size()) return std::nullopt;
    int value = 0;
    for (std::size_t i = position; i < position + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

namespace {

// "HH:MM" or "HH:MM:SS", the whole of `text`, into `fields`.
bool readTimeOfDay(std::string_view text, CalendarFields& fields)
{
    if (text.size() != 5 && text.size() != 8) return false;
    const auto hour = digitsAt(text, 0, 2), minute = digitsAt(text, 3, 2);
    if (!hour || !minute || text[2] != ':') return false;
    fields.hour = *hour;
    fields.minute = *minute;
    if (text.size() == 8) {
        const auto second = digitsAt(text, 6, 2);
        if (!second || text[5] != ':') return false;
        fields.second = *second;
    }
    return true;
}

// "YYYY-MM-DD", the first ten characters of `text`, into `fields`.
bool readDate(std::string_view text, CalendarFields& fields)
{
    const auto year = digitsAt(text, 0, 4), month = digitsAt(text, 5, 2), day = digitsAt(text, 8, 2);
    if (!year || !month || !day || text[4] != '-' || text[7] != '-') return false;
    fields.year = *year;
    fields.month = *month;
    fields.day = *day;
    return true;
}

}  // namespace

std::optional<DateTime> parseIsoDateTime(std::string_view text, DateTimeShape shape)
{
    constexpr std::size_t kDateLength = 10;  // YYYY-MM-DD
    CalendarFields fields;
    bool shapeOk = false;
    if (shape == DateTimeShape::TimeOfDay) {
        shapeOk = readTimeOfDay(text, fields);
    } else if (readDate(text, fields)) {
        if (text.size() == kDateLength) {
            shapeOk = true;
        } else if (shape == DateTimeShape::DateWithOptionalTime && text.size() > kDateLength + 1) {
            const char separator = text[kDateLength];
            shapeOk = (separator == ' ' || separator == 'T') && readTimeOfDay(text.substr(kDateLength + 1), fields);
        }
    }
    // encodeDateTime checks every field's range, the day against its month and leap years.
    return shapeOk ? encodeDateTime(fields) : std::nullopt;
}

std::optional<DateTime> parseDateOrInstant(std::string_view text)
{
    if (const auto instant = readRfc3339Text(text)) return localValueOfInstant(*instant);
    return parseIsoDateTime(text, DateTimeShape::DateWithOptionalTime);
}

}  // namespace quorvane::convert
