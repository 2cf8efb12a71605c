// SPDX-License-Identifier: Apache-2.0
#include "table/table_cells.h"

#include <langinfo.h>
#include <strings.h>

#include <algorithm>
#include <array>
#include <clocale>

#include "convert/iso_date_time.h"
#include "convert/display_text.h"

namespace quorvane::table {
namespace {

// Reads 1 to `maxDigits` digits at `position`, moving past them; nullopt when there is none.
std::optional<int> digitsFrom(std::string_view text, std::size_t& position, std::size_t maxDigits, std::size_t* count = nullptr)
{
    std::size_t read = 0;
    int value = 0;
    while (position < text.size() && read < maxDigits && text[position] >= '0' && text[position] <= '9') {
        value = value * 10 + (text[position++] - '0');
        ++read;
    }
    if (count) *count = read;
    return read ? std::optional(value) : std::nullopt;
}

// The order of day, month and year in the locale's short date format: the indexes 0 (day),
// 1 (month), 2 (year) in the order their conversions appear; day-month-year when it names none.
std::array<int, 3> dateFieldOrder()
{
    const std::string_view format = ::nl_langinfo(D_FMT);
    std::array<int, 3> order{};
    std::size_t found = 0;
    for (std::size_t i = 0; i + 1 < format.size() && found < order.size(); ++i) {
        if (format[i] != '%') continue;
        const char conversion = format[++i];
        const int field = conversion == 'd' || conversion == 'e' ? 0 : conversion == 'm' ? 1
                        : conversion == 'y' || conversion == 'Y' ? 2 : -1;
        if (field >= 0) order[found++] = field;
    }
    return found == order.size() ? order : std::array<int, 3>{0, 1, 2};
}

// The locale's short form a spreadsheet writes: see tableInstantOf.
std::optional<convert::DateTime> readShortLocaleDate(std::string_view text)
{
    std::array<int, 3> values{};  // day, month, year
    std::size_t position = 0;
    std::size_t yearDigits = 0;
    const std::array<int, 3> order = dateFieldOrder();
    for (const int field : order) {
        if (field != order[0]) {
            if (position >= text.size() || (text[position] != '.' && text[position] != '/' && text[position] != '-')) return std::nullopt;
            ++position;
        }
        std::size_t count = 0;
        const auto value = digitsFrom(text, position, field == 2 ? 4 : 2, &count);
        if (!value) return std::nullopt;
        values[std::size_t(field)] = *value;
        if (field == 2) yearDigits = count;
    }
    if (yearDigits == 2) values[2] += values[2] < 30 ? 2000 : 1900;
    else if (yearDigits != 4) return std::nullopt;
    convert::CalendarFields fields{values[2], values[1], values[0], 0, 0, 0, 0};
    if (position < text.size()) {
        if (text[position] != ' ') return std::nullopt;
        while (position < text.size() && text[position] == ' ') ++position;
        const auto hour = digitsFrom(text, position, 2);
        if (!hour || position >= text.size() || text[position++] != ':') return std::nullopt;
        std::size_t count = 0;
        const auto minute = digitsFrom(text, position, 2, &count);
        if (!minute || count != 2) return std::nullopt;
        fields.hour = *hour;
        fields.minute = *minute;
        if (position < text.size() && text[position] == ':') {
            ++position;
            const auto second = digitsFrom(text, position, 2, &count);
            if (!second || count != 2) return std::nullopt;
            fields.second = *second;
        }
        while (position < text.size() && text[position] == ' ') ++position;
        const std::string_view meridiem = text.substr(position);
        if (!meridiem.empty()) {
            const bool am = ::strncasecmp(meridiem.data(), "AM", 2) == 0, pm = ::strncasecmp(meridiem.data(), "PM", 2) == 0;
            if (meridiem.size() != 2 || (!am && !pm) || fields.hour < 1 || fields.hour > 12) return std::nullopt;
            fields.hour = fields.hour % 12 + (pm ? 12 : 0);
        }
    }
    return convert::encodeDateTime(fields);
}

std::int64_t floorDivide(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

std::optional<TableInstant> tableInstantOf(std::string_view text)
{
    if (const auto instant = convert::readRfc3339Text(text)) return TableInstant{*instant, 1};
    std::optional<convert::DateTime> local = convert::parseIsoDateTime(text, convert::DateTimeShape::DateWithOptionalTime);
    if (!local) local = convert::readDisplayText(text);
    if (!local) local = readShortLocaleDate(text);
    if (!local) return std::nullopt;
    const auto utcMs = convert::localToUtcEpochMs(*local);
    if (!utcMs) return std::nullopt;
    const std::int64_t seconds = floorDivide(*utcMs, 1000);
    const auto colons = std::count(text.begin(), text.end(), ':');
    return TableInstant{{seconds, std::int32_t(*utcMs - seconds * 1000) * 1'000'000, 0}, colons >= 2 ? 1 : colons == 1 ? 60 : 86400};
}

bool sameAtCellPrecision(const TableInstant& cell, std::int64_t utcSeconds, std::int32_t nanoseconds)
{
    const convert::Rfc3339Instant& instant = cell.instant;
    if (cell.precisionSeconds > 1) {
        const auto localUnit = [&](std::int64_t seconds) {
            return floorDivide(seconds + convert::utcOffsetSecondsAt(seconds), cell.precisionSeconds);
        };
        return localUnit(utcSeconds) == localUnit(instant.utcSeconds);
    }
    std::int32_t scale = 1'000'000'000;
    for (int digit = 0; digit < instant.fractionDigits; ++digit) scale /= 10;
    return utcSeconds == instant.utcSeconds && nanoseconds / scale == instant.nanoseconds / scale;
}

std::string numberTextOfCell(std::string text)
{
    const std::string_view decimalPoint = std::localeconv()->decimal_point;
    if (decimalPoint == "." || decimalPoint.empty() || text.find('.') != std::string::npos) return text;
    if (const auto at = text.find(decimalPoint); at != std::string::npos) text.replace(at, decimalPoint.size(), ".");
    return text;
}

}  // namespace quorvane::table
