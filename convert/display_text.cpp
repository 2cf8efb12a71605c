// SPDX-License-Identifier: Apache-2.0
#include "convert/display_text.h"

#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <initializer_list>

#include "base/error.h"

namespace quorvane::convert {
namespace {

struct DisplayFormats {
    std::string date;               // strftime/strptime format of the short date
    std::string time;               // ... of the long time
    std::string timeWithoutSeconds; // the long time with its seconds field left out
};

bool isPosixLocale()
{
    const char* name = nl_langinfo(_NL_LOCALE_NAME(LC_TIME));
    if (!name) return true;
    const std::string_view localeName(name);
    return localeName == "C" || localeName == "POSIX" || localeName.starts_with("C.");
}

// Rewrites a locale format into the plain conversions we read back: composite conversions are
// spelt out, E/O modifiers dropped, and two-digit years widened to four digits.
std::string expandFormat(std::string_view format)
{
    std::string expanded;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            expanded += format[i];
            continue;
        }
        char conversion = format[++i];
        if ((conversion == 'E' || conversion == 'O') && i + 1 < format.size()) conversion = format[++i];
        switch (conversion) {
        case 'D': expanded += "%m/%d/%Y"; break;
        case 'F': expanded += "%Y-%m-%d"; break;
        case 'T': expanded += "%H:%M:%S"; break;
        case 'R': expanded += "%H:%M"; break;
        case 'r': expanded += expandFormat(nl_langinfo(T_FMT_AMPM)); break;
        case 'y': expanded += "%Y"; break;
        default: expanded += '%'; expanded += conversion;
        }
    }
    return expanded;
}

// Drops "%S" together with the separator written just before it.
std::string withoutSeconds(const std::string& timeFormat)
{
    const auto seconds = timeFormat.find("%S");
    if (seconds == std::string::npos) return timeFormat;
    std::size_t from = seconds;
    if (from > 0 && timeFormat[from - 1] != '%' && !(from > 1 && timeFormat[from - 2] == '%')) --from;
    return timeFormat.substr(0, from) + timeFormat.substr(seconds + 2);
}

DisplayFormats currentFormats()
{
    DisplayFormats formats;
    if (isPosixLocale()) {
        formats.date = "%Y-%m-%d";
        formats.time = "%H:%M:%S";
    } else {
        formats.date = expandFormat(nl_langinfo(D_FMT));
        formats.time = expandFormat(nl_langinfo(T_FMT));
        if (formats.date.empty()) formats.date = "%Y-%m-%d";
        if (formats.time.empty()) formats.time = "%H:%M:%S";
    }
    formats.timeWithoutSeconds = withoutSeconds(formats.time);
    return formats;
}

std::tm tmOf(const CalendarFields& fields)
{
    std::tm tm{};
    tm.tm_year = fields.year - 1900;
    tm.tm_mon = fields.month - 1;
    tm.tm_mday = fields.day;
    tm.tm_hour = fields.hour;
    tm.tm_min = fields.minute;
    tm.tm_sec = fields.second;
    // Week day and year day, for locales whose formats name them.
    std::tm normalised = tm;
    normalised.tm_isdst = 0;
    if (timegm(&normalised) != std::time_t(-1) || normalised.tm_year == tm.tm_year) {
        tm.tm_wday = normalised.tm_wday;
        tm.tm_yday = normalised.tm_yday;
    }
    return tm;
}

// strftime writes %Y without leading zeros ("1-01-01" for year 1); the year is spelt out with
// four digits before strftime sees the format, as ISO 8601 and the W3C text write it.
std::string withFourDigitYears(std::string_view format, int year)
{
    char yearText[16];
    std::snprintf(yearText, sizeof yearText, "%04d", year);
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            out += format[i];
        } else if (format[++i] == 'Y') {
            out += yearText;
        } else {
            out += '%';
            out += format[i];
        }
    }
    return out;
}

std::string formatTm(const std::tm& tm, const std::string& format)
{
    char buffer[256];
    const std::string fullFormat = withFourDigitYears(format, tm.tm_year + 1900);
    const std::size_t length = std::strftime(buffer, sizeof buffer, fullFormat.c_str(), &tm);
    return std::string(buffer, length);
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// Parses the whole of `text` with `format`; nullopt when anything is left over or missing.
std::optional<std::tm> parseWhole(const std::string& text, const std::string& format)
{
    std::tm tm{};
    tm.tm_mday = 1;
    const char* end = strptime(text.c_str(), format.c_str(), &tm);
    if (!end || *end != '\0') return std::nullopt;
    return tm;
}

std::optional<DateTime> dateTimeOf(const std::tm& tm, bool hasDate)
{
    CalendarFields fields{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, 0};
    if (!hasDate) {
        fields.year = 1899;
        fields.month = 12;
        fields.day = 30;
    }
    return encodeDateTime(fields);
}

}  // namespace

std::string DateTimeToDisplayText(DateTime value)
{
    const auto fields = decodeDateTimeInRange(value);
    if (!fields) return "";
    const DisplayFormats formats = currentFormats();
    const std::tm tm = tmOf(*fields);
    std::string text = formatTm(tm, formats.date);
    if (fields->hour != 0 || fields->minute != 0 || fields->second != 0) text += ' ' + formatTm(tm, formats.time);
    return text;
}

std::optional<DateTime> readDisplayText(std::string_view text)
{
    const DisplayFormats formats = currentFormats();
    const std::string input(trimmed(text));
    if (!input.empty()) {
        const std::initializer_list<std::pair<std::string, bool>> candidates{
            {formats.date + ' ' + formats.time, true},
            {formats.date + ' ' + formats.timeWithoutSeconds, true},
            {formats.date, true},
            {formats.time, false},
            {formats.timeWithoutSeconds, false},
        };
        for (const auto& [format, hasDate] : candidates) {
            if (const auto tm = parseWhole(input, format))
                if (const auto value = dateTimeOf(*tm, hasDate)) return *value;
        }
    }
    return std::nullopt;
}

std::string displayDateFormat() { return currentFormats().date; }
std::string displayTimeFormat() { return currentFormats().time; }

std::string notADateText(std::string_view text) { return "'" + std::string(text) + "' is not a valid date and time"; }

DateTime DisplayTextToDateTime(std::string_view text)
{
    if (const auto value = readDisplayText(text)) return *value;
    throw Error(notADateText(text));
}

}  // namespace quorvane::convert
