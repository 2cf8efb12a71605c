#include "cli/set_options.h"

#include <time.h>

#include <algorithm>
#include <charconv>
#include <ctime>
#include <string_view>

#include "change/change_engine.h"
#include "change/defaults_store.h"
#include "change/saved_defaults.h"
#include "cli/custom_options.h"
#include "cli/date_argument.h"
#include "cli/option_value.h"
#include "cli/row_names.h"
#include "props/catalogue.h"
#include "convert/date_time.h"
#include "convert/display_text.h"

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

bool isWholeNumber(std::string_view text)
{
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

// Checks a row's value text and brings it into the form the property write reads: a date row
// takes the display text of the date ("" stays ""), the minutes row a whole number.
std::optional<std::string> valueForRow(int row, const std::string& text, std::string* problem)
{
    if (props::isDateTimeRow(row)) {
        if (text.empty()) return text;
        const auto value = parseDateTimeArgument(text, DateTimeShape::DateWithOptionalTime);
        if (!value) {
            *problem = "'" + text + "' is not a date (YYYY-MM-DD[ HH:MM[:SS]] or YYYY-MM-DDTHH:MM[:SS])";
            return std::nullopt;
        }
        if (!convert::isStorablePropertyDate(*value)) {
            *problem = "'" + text + "' lies outside the years 1601 to 9999 that a property date can hold";
            return std::nullopt;
        }
        return convert::DateTimeToDisplayText(*value);
    }
    if (props::isDurationRow(row) && !text.empty() && !isWholeNumber(text)) {
        *problem = "'" + text + "' is not a whole number of minutes";
        return std::nullopt;
    }
    return text;
}

// Applies one option with its value text to `settings`; false with `problem` set when the
// value does not fit the option.
bool applyOption(const std::string& option, const std::string& text, change::BatchSettings& settings,
                 std::string* problem)
{
    if (const auto row = rowOfOption(option)) {
        const auto value = valueForRow(*row, text, problem);
        if (!value) return false;
        settings.rowValues[std::size_t(*row)] = *value;
        settings.rowChecks[std::size_t(*row)] = true;
        return true;
    }
    if (const FileTimeOption* timeOption = findOption(kFileTimeOptions, option)) {
        change::FileTimeSetting& time = settings.fileTimes[std::size_t(timeOption->time)];
        const auto value =
            parseDateTimeArgument(text, timeOption->isDate ? DateTimeShape::Date : DateTimeShape::TimeOfDay);
        if (!value) {
            *problem = "'" + text + "' is not " + (timeOption->isDate ? "a date (YYYY-MM-DD)" : "a time (HH:MM[:SS])");
            return false;
        }
        (timeOption->isDate ? time.applyDate : time.applyTime) = true;
        (timeOption->isDate ? time.datePicker : time.timePicker) = *value;
        return true;
    }
    const AttributeOption* attribute = findOption(kAttributeOptions, option);
    if (text != "on" && text != "off") {
        *problem = "'" + text + "' is neither on nor off";
        return false;
    }
    settings.attributes.*attribute->box = text == "on" ? BoxState::Checked : BoxState::Unchecked;
    return true;
}

bool takesValue(const std::string& option)
{
    return rowOfOption(option) || findOption(kFileTimeOptions, option) || findOption(kAttributeOptions, option);
}

}  // namespace

std::optional<change::BatchSettings> loadSavedDefaults()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    const auto nowValue = convert::encodeDateTime(
        {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, 0});
    return change::loadBatchDefaults(change::defaultsStorePath(), nowValue.value_or(0.0));
}

std::optional<SetRequest> parseSetArguments(const std::vector<std::string>& givenArguments, std::string* problem,
                                            const DefaultsLoader& loadDefaults)
{
    SetRequest request;
    auto custom = takeCustomOptions(givenArguments, problem);
    if (!custom) return std::nullopt;
    const std::vector<std::string>& arguments = custom->rest;
    request.customEdits = std::move(custom->edits);
    for (change::FileTimeSetting& time : request.settings.fileTimes) time.applyDate = time.applyTime = false;
    // The saved defaults come first, whatever their place, so that every other option overrides them.
    const auto optionsEnd = std::find(arguments.begin(), arguments.end(), "--");
    if (std::find(arguments.begin(), optionsEnd, kDefaultsOption) != optionsEnd) {
        const auto defaults = loadDefaults();
        if (!defaults) {
            *problem = "set: --defaults: the saved defaults cannot be read from " + change::defaultsStorePath();
            return std::nullopt;
        }
        request.settings = *defaults;
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (const FileOption shared = readFileOption(arguments, i, request.files, *problem); shared != FileOption::NotThis) {
            if (shared == FileOption::Taken) continue;
            *problem = "set: " + *problem;
            return std::nullopt;
        }
        if (argument == kDefaultsOption) continue;
        const std::string option = argument.substr(0, argument.find('='));
        if (!takesValue(option)) {
            *problem = "set: unknown option " + argument;
            return std::nullopt;
        }
        const std::optional<std::string> text = optionValue(arguments, i, option);
        if (!text) {
            *problem = "set: " + option + " needs a value";
            return std::nullopt;
        }
        std::string valueProblem;
        if (!applyOption(option, *text, request.settings, &valueProblem)) {
            *problem = "set: " + option + ": " + valueProblem;
            return std::nullopt;
        }
    }
    request.settings.backup = request.settings.backup || request.files.backup;
    if (request.settings.removeAllCustom && !request.customEdits.empty()) {
        // The saved removal of every custom property goes first, so that the custom options
        // given override it as every other option overrides the saved defaults.
        request.customEdits.insert(request.customEdits.begin(), {props::CustomEdit::Kind::RemoveAll, {}, {}});
        request.settings.removeAllCustom = false;
    }
    if (request.files.paths.empty()) {
        *problem = "set: no file given";
        return std::nullopt;
    }
    if (!change::BatchHasWork(request.settings) && request.customEdits.empty()) {
        *problem = "set: nothing to change (give a property, a date or time, or an attribute)";
        return std::nullopt;
    }
    return request;
}

}  // namespace quorvane::cli
