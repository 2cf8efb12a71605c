// SPDX-License-Identifier: Apache-2.0
#include "cli/custom_options.h"

#include <algorithm>
#include <charconv>

#include "change/custom_value_text.h"
#include "convert/iso_date_time.h"
#include "cli/option_value.h"
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

// Dates as the command line takes them (convert/iso_date_time.h).
std::optional<convert::DateTime> dateOfArgument(const std::string& text)
{
    return convert::parseDateOrInstant(text);
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
    const auto colon = name.rfind(':');
    if (colon != std::string::npos) {
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
    const auto value = change::customValueOfText(type, text.substr(equals + 1), dateOfArgument);
    if (!value.ok()) {
        problem = value.failure().text();
        return std::nullopt;
    }
    props::CustomEdit edit{props::CustomEdit::Kind::Set, name, *value};
    edit.value.typeGiven = colon != std::string::npos;
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
        std::string missing;
        const std::optional<std::string> given = optionValue(arguments, i, option, missing);
        if (!given) {
            *problem = "set: " + missing;
            return std::nullopt;
        }
        const std::string& value = *given;
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

Result<std::vector<props::CustomEdit>> keepingStoredTypes(std::vector<props::CustomEdit> edits,
                                                          std::vector<props::CustomProperty> stored)
{
    for (props::CustomEdit& edit : edits) {
        const auto named = [&edit](const props::CustomProperty& property) { return props::sameCustomName(property.name, edit.name); };
        if (edit.kind == props::CustomEdit::Kind::RemoveAll) stored.clear();
        if (edit.kind == props::CustomEdit::Kind::Remove) std::erase_if(stored, named);
        if (edit.kind != props::CustomEdit::Kind::Set) continue;
        const auto found = std::find_if(stored.begin(), stored.end(), named);
        if (!edit.value.typeGiven && found != stored.end()) {
            for (const std::string_view type : {props::kCustomInteger, props::kCustomNumber, props::kCustomYesNo, props::kCustomDate}) {
                if (found->type != type) continue;
                const auto value = change::customValueOfText(type, edit.value.text, dateOfArgument);
                if (!value.ok())
                    return Failure(FailureKind::Conversion,
                                   "--custom " + edit.name + ": " + value.failure().text() + " (its stored type is " + found->type + ")");
                edit.value = *value;
            }
        }
        if (found == stored.end()) stored.push_back({edit.name, std::string(edit.value.type), {}});
        else found->type = edit.value.type;
    }
    return edits;
}

}  // namespace quorvane::cli
