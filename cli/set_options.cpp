// SPDX-License-Identifier: Apache-2.0
#include "cli/set_options.h"

#include <time.h>

#include <algorithm>
#include <ctime>
#include <string_view>

#include "change/file_request.h"
#include "change/defaults_store.h"
#include "change/saved_defaults.h"
#include "cli/custom_options.h"
#include "convert/iso_date_time.h"
#include "cli/option_value.h"
#include "cli/row_names.h"
#include "props/catalogue.h"
#include "props/row_value_text.h"
#include "convert/date_time.h"
#include "convert/storable_date.h"

namespace quorvane::cli {
namespace {

using fileinfo::BoxState;

// The apply boxes: which file time, and whether the option gives its date or its time of day.
struct FileTimeOption {
    std::string_view name;
    change::FileTimeIndex time;
    bool isDate;
};
constexpr FileTimeOption kFileTimeOptions[] = {
    {"--creation-date", change::kCreationTime, true},   {"--creation-time", change::kCreationTime, false},
    {"--modify-date", change::kModifyTime, true},       {"--modify-time", change::kModifyTime, false},
    {"--access-date", change::kLastAccessTime, true},   {"--access-time", change::kLastAccessTime, false},
};

struct AttributeOption {
    std::string_view name;
    BoxState fileinfo::AttributeBoxes::*box;
};
constexpr AttributeOption kAttributeOptions[] = {
    {"--read-only", &fileinfo::AttributeBoxes::readOnly},
    {"--archive", &fileinfo::AttributeBoxes::archive},
    {"--hidden", &fileinfo::AttributeBoxes::hidden},
    {"--system", &fileinfo::AttributeBoxes::system},
};

constexpr std::string_view kDefaultsOption = "--defaults";
constexpr std::string_view kTemplateOption = "--template";

template <typename Option, std::size_t N>
const Option* findOption(const Option (&options)[N], std::string_view name)
{
    for (const Option& option : options)
        if (option.name == name) return &option;
    return nullptr;
}

// The row options are the row names after "--" ("--title").
std::optional<int> rowOfOption(std::string_view option)
{
    return option.starts_with("--") ? rowOfName(option.substr(2)) : std::nullopt;
}

}  // namespace

std::optional<props::RowValue> rowValueOfArgument(int row, const std::string& text, std::string* problem)
{
    if (text.empty() && (props::isDateTimeRow(row) || props::isDurationRow(row))) return props::RowValue::cleared();
    if (props::isDateTimeRow(row)) {
        const auto value = convert::parseDateOrInstant(text);
        if (!value) {
            *problem = "'" + text + "' is not a date (YYYY-MM-DD[ HH:MM[:SS]], YYYY-MM-DDTHH:MM[:SS] or RFC 3339)";
            return std::nullopt;
        }
        const auto utcMs = convert::storableInstantOfLocal(*value, "'" + text + "'");
        if (!utcMs.ok()) {
            *problem = utcMs.failure().text();
            return std::nullopt;
        }
        return props::RowValue::instantValue(*utcMs);
    }
    if (props::isDurationRow(row)) {
        auto minutes = props::rowValueOfDisplayText(row, text);
        if (!minutes.ok()) {
            *problem = minutes.failure().text();
            return std::nullopt;
        }
        return std::move(minutes).value();
    }
    return props::RowValue::textValue(text);
}

namespace {

// Applies one option with its value text to `request`; false with `problem` set when the value
// does not fit the option.
bool applyOption(const std::string& option, const std::string& text, change::FileRequest& request, std::string* problem)
{
    if (const auto row = rowOfOption(option)) {
        const auto value = rowValueOfArgument(*row, text, problem);
        if (!value) return false;
        request.content.rows[std::size_t(*row)] = *value;
        return true;
    }
    if (const FileTimeOption* timeOption = findOption(kFileTimeOptions, option)) {
        fileinfo::FileTimeSources* const times[] = {&request.file.creation, &request.file.lastWrite, &request.file.lastAccess};
        fileinfo::FileTimeSources& time = *times[std::size_t(timeOption->time)];
        const auto value =
            convert::parseIsoDateTime(text, timeOption->isDate ? convert::DateTimeShape::Date : convert::DateTimeShape::TimeOfDay);
        if (!value) {
            *problem = "'" + text + "' is not " + (timeOption->isDate ? "a date (YYYY-MM-DD)" : "a time (HH:MM[:SS])");
            return false;
        }
        (timeOption->isDate ? time.date : time.time) = *value;
        return true;
    }
    const AttributeOption* attribute = findOption(kAttributeOptions, option);
    if (text != "on" && text != "off") {
        *problem = "'" + text + "' is neither on nor off";
        return false;
    }
    request.file.boxes.*attribute->box = text == "on" ? BoxState::Checked : BoxState::Unchecked;
    return true;
}

bool takesValue(const std::string& option)
{
    return rowOfOption(option) || findOption(kFileTimeOptions, option) || findOption(kAttributeOptions, option);
}

}  // namespace

Result<change::BatchSettings> loadSavedDefaults()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    const auto nowValue = convert::encodeDateTime(
        {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, 0});
    return change::loadSavedBatchSettings(change::defaultsStorePath(), nowValue.value_or(0.0));
}

std::optional<SetRequest> parseSetArguments(const std::vector<std::string>& givenArguments, std::string* problem,
                                            const DefaultsLoader& loadDefaults)
{
    SetRequest set;
    auto custom = takeCustomOptions(givenArguments, problem);
    if (!custom) return std::nullopt;
    const std::vector<std::string>& arguments = custom->rest;
    std::vector<props::CustomEdit> customEdits = std::move(custom->edits);
    // The saved defaults come first, whatever their place, so that every other option overrides them.
    const auto optionsEnd = std::find(arguments.begin(), arguments.end(), "--");
    if (std::find(arguments.begin(), optionsEnd, kDefaultsOption) != optionsEnd) {
        const auto defaults = loadDefaults();
        if (!defaults.ok()) {
            *problem = "set: --defaults: " + defaults.failure().text();
            return std::nullopt;
        }
        change::BatchSettings saved = *defaults;
        // Values saved as templates are filled in per file, as in the window's batch.
        for (int row = 0; row < props::kRowCount && saved.valuesAreTemplates; ++row) {
            if (!saved.rowChecks[std::size_t(row)]) continue;
            saved.rowChecks[std::size_t(row)] = false;
            auto value = change::ValueTemplate::parse(saved.rowValues[std::size_t(row)]);
            if (!value.ok()) {
                *problem = "set: --defaults: " + value.failure().within(props::catalogueRow(row).label).text();
                return std::nullopt;
            }
            set.rowTemplates.push_back({row, std::move(value).value()});
        }
        auto request = change::batchRequest(saved);
        if (!request.ok()) {
            *problem = "set: --defaults: " + request.failure().text();
            return std::nullopt;
        }
        set.request = std::move(request).value();
        set.files.backup = defaults->backup;
    }
    const bool templates = std::find(arguments.begin(), optionsEnd, kTemplateOption) != optionsEnd;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (const FileOption shared = readFileOption(arguments, i, set.files, *problem); shared != FileOption::NotThis) {
            if (shared == FileOption::Taken) continue;
            *problem = "set: " + *problem;
            return std::nullopt;
        }
        if (argument == kDefaultsOption || argument == kTemplateOption) continue;
        const std::string option = argument.substr(0, argument.find('='));
        if (!takesValue(option)) {
            *problem = "set: unknown option " + argument;
            return std::nullopt;
        }
        std::string missing;
        const std::optional<std::string> text = optionValue(arguments, i, option, missing);
        if (!text) {
            *problem = "set: " + missing;
            return std::nullopt;
        }
        // A row given overrides a template saved for it.
        if (const auto row = rowOfOption(option))
            std::erase_if(set.rowTemplates, [&](const RowTemplate& saved) { return saved.row == *row; });
        if (const auto row = rowOfOption(option); row && templates) {
            auto value = change::ValueTemplate::parse(*text);
            if (!value.ok()) {
                *problem = "set: " + option + ": " + value.failure().text();
                return std::nullopt;
            }
            set.rowTemplates.push_back({*row, std::move(value).value()});
            continue;
        }
        std::string valueProblem;
        if (!applyOption(option, *text, set.request, &valueProblem)) {
            *problem = "set: " + option + ": " + valueProblem;
            return std::nullopt;
        }
    }
    // A saved removal of every custom property comes first, so that the custom options given
    // override it as every other option overrides the saved defaults.
    std::vector<props::CustomEdit>& edits = set.request.content.custom;
    edits.insert(edits.end(), customEdits.begin(), customEdits.end());
    const bool untyped = std::any_of(edits.begin(), edits.end(), [](const props::CustomEdit& edit) {
        return edit.kind == props::CustomEdit::Kind::Set && !edit.value.typeGiven;
    });
    if (untyped) {
        // A value given without a type keeps the type the file stores it with.
        set.request.content.customFor = [edits](const std::vector<props::CustomProperty>& stored) {
            return keepingStoredTypes(edits, stored);
        };
        edits.clear();
    }
    if (set.files.paths.empty()) {
        *problem = "set: no file given";
        return std::nullopt;
    }
    if (!change::requestHasWork(set.request) && set.rowTemplates.empty()) {
        *problem = "set: nothing to change (give a property, a date or time, or an attribute)";
        return std::nullopt;
    }
    return set;
}

}  // namespace quorvane::cli
