#include "cli/custom_options.h"

#include <algorithm>
#include <charconv>

#include "change/custom_value_text.h"
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
    const auto value = change::customValueOfText(type, text.substr(equals + 1), [](const std::string& date) {
        return parseDateTimeArgument(date, DateTimeShape::DateWithOptionalTime);
    });
    if (!value.ok()) {
        problem = value.failure().text();
        return std::nullopt;
    }
    return props::CustomEdit{props::CustomEdit::Kind::Set, name, *value};
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
