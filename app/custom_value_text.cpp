#include "app/custom_value_text.h"

#include <charconv>
#include <cmath>

#include "base/error.h"
#include "convert/date_time.h"
#include "convert/display_text.h"

namespace quorvane::app {
namespace {

// Whether the whole of `text` reads as a `Number` by from_chars (a leading '+' allowed).
template <typename Number>
bool readWhole(const std::string& text, Number& number)
{
    const char* begin = text.data() + (text.starts_with('+') ? 1 : 0);
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(begin, end, number);
    return begin != end && error == std::errc() && ptr == end;
}

// The UTC FILETIME of a display text when it stands for an instant from 1601 to 9999 in UTC.
std::optional<std::uint64_t> storableDate(const std::string& text)
{
    convert::DateTime local = 0;
    try {
        local = convert::DisplayTextToDateTime(text);
    } catch (const quorvane::Error&) {
        return std::nullopt;  // not a display text: the caller names the value
    }
    const auto utc = convert::decodeDateTimeInRange(convert::LocalToUtcByBias(local));
    if (!utc || utc->year < 1601 || utc->year > 9999) return std::nullopt;
    return convert::DateTimeToUtcFileTime(local);
}

}  // namespace

std::optional<props::CustomValue> customValueOfText(std::string_view type, const QString& text, QString* problem)
{
    props::CustomValue value;
    value.type = type;
    const std::string utf8 = text.toStdString();
    const QString quoted = u'\'' + text + u'\'';
    if (type == props::kCustomInteger) {
        if (readWhole(utf8, value.integer)) return value;
        *problem = quoted + QStringLiteral(" is not a 32-bit integer");
    } else if (type == props::kCustomNumber) {
        if (readWhole(utf8, value.number) && std::isfinite(value.number)) return value;
        *problem = quoted + QStringLiteral(" is not a number");
    } else if (type == props::kCustomYesNo) {
        const QString lower = text.toLower();
        value.yesNo = lower == u"yes" || lower == u"true" || lower == u"1";
        if (value.yesNo || lower == u"no" || lower == u"false" || lower == u"0") return value;
        *problem = quoted + QStringLiteral(" is not yes or no");
    } else if (type == props::kCustomDate) {
        if (const auto filetime = storableDate(utf8)) {
            value.filetime100ns = *filetime;
            return value;
        }
        // An example in the form the locale writes dates, which is the form read here.
        const auto example = convert::encodeDateTime({2024, 5, 1, 13, 30, 0, 0});
        *problem = quoted + QStringLiteral(" is not a date from 1601 to 9999 in the form ") +
                   QString::fromStdString(convert::DateTimeToDisplayText(example.value_or(0)));
    } else {
        value.text = utf8;
        return value;
    }
    return std::nullopt;
}

}  // namespace quorvane::app
