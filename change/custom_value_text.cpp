// SPDX-License-Identifier: Apache-2.0
#include "change/custom_value_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "convert/storable_date.h"

namespace quorvane::change {
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

std::string lowerAscii(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; });
    return text;
}

}  // namespace

Result<props::CustomValue> customValueOfText(std::string_view type, const std::string& text, const DateReader& readDate)
{
    props::CustomValue value;
    value.type = type;
    const auto refused = [&text](std::string_view what) {
        return Failure(FailureKind::Conversion, "'" + text + "' is not " + std::string(what));
    };
    if (type == props::kCustomInteger) {
        if (!readWhole(text, value.integer)) return refused("a 32-bit integer");
    } else if (type == props::kCustomNumber) {
        if (!readWhole(text, value.number) || !std::isfinite(value.number)) return refused("a number");
    } else if (type == props::kCustomYesNo) {
        const std::string lower = lowerAscii(text);
        value.yesNo = lower == "yes" || lower == "true" || lower == "1";
        if (!value.yesNo && lower != "no" && lower != "false" && lower != "0") return refused("yes or no");
    } else if (type == props::kCustomDate) {
        const auto local = readDate(text);
        if (!local) return refused("a date");
        const auto utcMs = convert::storableInstantOfLocal(*local, "'" + text + "'");
        if (!utcMs.ok()) return utcMs.failure();
        value.filetime100ns = convert::DateTimeToUtcFileTime(*local);
    } else {
        value.text = text;
    }
    return value;
}

}  // namespace quorvane::change
