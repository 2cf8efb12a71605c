#include "cli/custom_options.h"

#include <algorithm>
#include <charconv>

#include "cli/date_argument.h"
#include "convert/display_text.h"

namespace quorvane::cli {
namespace {

constexpr std::string_view kCustomOption = "--custom";
constexpr std::string_view kRemoveCustomOption = "--remove-custom";
constexpr std::string_view kRemoveAllCustomOption = "--remove-all-custom";

std::string lowerAscii(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; });
    return text;
}

// The value of `text` as `type`; "" in `problem` when it takes it.
props::CustomValue valueOf(std::string_view type, const std::string& text, std::string& problem)
{
    props::CustomValue value;
    value.type = type;
    const char* end = text.data() + text.size();
    if (type == props::kCustomText) {
        value.text = text;
    } else if (type == props::kCustomInteger) {
        const auto [ptr, error] = std::from_chars(text.data() + (text.starts_with('+') ? 1 : 0), end, value.integer);
        if (text.empty() || error != std::errc() || ptr != end) problem = "'" + text + "' is not a 32-bit integer";
    } else if (type == props::kCustomNumber) {
        const auto [ptr, error] = std::from_chars(text.data(), end, value.number);
        if (text.empty() || error != std::errc() || ptr != end) problem = "'" + text + "' is not a number";
    } else if (type == props::kCustomYesNo) {
        const std::string lower = lowerAscii(text);
        value.yesNo = lower == "yes" || lower == "true" || lower == "1";
        if (!value.yesNo && lower != "no" && lower != "false" && lower != "0") problem = "'" + text + "' is not yes or no";
    } else {
        const auto local = parseDateTimeArgument(text, DateTimeShape::DateWithOptionalTime);
        if (!local || !isStorablePropertyDate(*local)) problem = "'" + text + "' is not a date from 1601 to 9999";
        else value.filetime100ns = convert::DateTimeToUtcFileTime(*local);
    }
    return value;
}

// NAME=VALUE or NAME:TYPE=VALUE.
std::optional<props::CustomEdit> setEditOf(const std::string& text, std::string& problem)
{
    const auto equals = text.find('=');
    if (equals == std::string::npos) {
        problem = "'" + text + "' is not NAME=VALUE or NAME:TYPE=VALUE";
        return std::nullopt;
    }
    std::string name = text.substr(0, equals);
    std::string_view type = props::kCustomText;
    if (const auto colon = name.rfind(':'); colon != std::string::npos) {
        const std::string given = lowerAscii(name.substr(colon + 1));
        for (const std::string_view known : {props::kCustomText, props::kCustomInteger, props::kCustomNumber,
                                             props::kCustomYesNo, props::kCustomDate})
            if (given == known) type = known;
        if (type == props::kCustomText && given != props::kCustomText) {
            problem = "unknown type '" + given + "' (text, integer, number, yes-no or date)";
            return std::nullopt;
        }
        name.erase(colon);
    }
    if (name.empty()) {
        problem = "no name given";
        return std::nullopt;
    }
    props::CustomEdit edit{props::CustomEdit::Kind::Set, name, valueOf(type, text.substr(equals + 1), problem)};
    if (!problem.empty()) return std::nullopt;
    return edit;
}

}  // namespace

std::optional<CustomArguments> takeCustomOptions(const std::vector<std::string>& arguments, std::string* problem)
{
    CustomArguments taken;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        optionsEnded = optionsEnded || argument == "--";
        const std::string option = argument.substr(0, argument.find('='));
        if (optionsEnded || (option != kCustomOption && option != kRemoveCustomOption && option != kRemoveAllCustomOption)) {
            taken.rest.push_back(argument);
            continue;
        }
        if (option == kRemoveAllCustomOption) {
            taken.edits.push_back({props::CustomEdit::Kind::RemoveAll, {}, {}});
            continue;
        }
        std::string value;
        if (argument.size() > option.size()) value = argument.substr(option.size() + 1);
        else if (i + 1 < arguments.size()) value = arguments[++i];
        else {
            *problem = "set: " + option + ": no value given";
            return std::nullopt;
        }
        std::string valueProblem;
        if (option == kRemoveCustomOption) {
            if (value.empty()) valueProblem = "no name given";
            taken.edits.push_back({props::CustomEdit::Kind::Remove, value, {}});
        } else if (const auto edit = setEditOf(value, valueProblem)) {
            taken.edits.push_back(*edit);
        }
        if (!valueProblem.empty()) {
            *problem = "set: " + option + ": " + valueProblem;
            return std::nullopt;
        }
    }
    return taken;
}

std::string shownValueOf(const props::CustomValue& value)
{
    char buffer[32];
    if (value.type == props::kCustomInteger) return std::to_string(value.integer);
    if (value.type == props::kCustomNumber) return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value.number).ptr);
    if (value.type == props::kCustomYesNo) return value.yesNo ? "yes" : "no";
    if (value.type == props::kCustomDate) return convert::DateTimeToDisplayText(convert::FileTimeToDateTime(value.filetime100ns));
    return value.text;
}

}  // namespace quorvane::cli
