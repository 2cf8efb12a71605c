#include "cli/set_command.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string_view>

#include "cli/file_failure.h"
#include "cli/usage.h"
#include "props/catalogue.h"
#include "props/date_time.h"
#include "props/display_text.h"
#include "props/error.h"
#include "props/document_rows.h"
#include "props/ppt_rows.h"

namespace quorvane::cli {
namespace {

// The row options, in catalogue order (index = row).
constexpr std::array<std::string_view, props::kRowCount> kRowOptions{
    "--title",   "--subject", "--author",  "--keywords", "--comments", "--category", "--revision",
    "--last-saved-by", "--manager", "--company", "--created", "--modified", "--total-editing-time", "--last-printed",
};

std::optional<int> rowOfOption(std::string_view option)
{
    for (int row = 0; row < props::kRowCount; ++row)
        if (kRowOptions[std::size_t(row)] == option) return row;
    return std::nullopt;
}

// "YYYY-MM-DD[ HH:MM[:SS]]" as display text; "" stays ""; nullopt for anything else.
std::optional<std::string> displayTextOfDate(const std::string& text)
{
    if (text.empty()) return text;
    props::CalendarFields fields;
    int consumed = 0;
    const char* input = text.c_str();
    const int matched = std::sscanf(input, "%4d-%2d-%2d%n %2d:%2d%n:%2d%n", &fields.year, &fields.month, &fields.day,
                                    &consumed, &fields.hour, &fields.minute, &consumed, &fields.second, &consumed);
    const bool shapeOk = (matched == 3 || matched == 5 || matched == 6) && std::size_t(consumed) == text.size();
    if (!shapeOk) return std::nullopt;
    const auto value = props::encodeDateTime(fields);
    if (!value) return std::nullopt;
    return props::DateTimeToDisplayText(*value);
}

bool isWholeNumber(std::string_view text)
{
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

// Checks a row's value text and brings it into the form the property write reads.
std::optional<std::string> valueForRow(int row, const std::string& text, std::string* problem)
{
    if (props::isDateTimeRow(row)) {
        auto display = displayTextOfDate(text);
        if (!display) *problem = "'" + text + "' is not a date (YYYY-MM-DD[ HH:MM[:SS]])";
        return display;
    }
    if (props::isDurationRow(row) && !text.empty() && !isWholeNumber(text)) {
        *problem = "'" + text + "' is not a whole number of minutes";
        return std::nullopt;
    }
    return text;
}

std::string writeFile(const std::string& path, const props::RowChanges& changes)
{
    props::RowTexts texts;
    props::RowSelection selected{};
    for (int row = 0; row < props::kRowCount; ++row) {
        selected[std::size_t(row)] = changes[std::size_t(row)].has_value();
        texts[std::size_t(row)] = changes[std::size_t(row)].value_or("");
    }
    try {
        if (props::writeDocumentRows(path, texts, selected)) return "";
    } catch (const Error& error) {
        return error.what();
    }
    return props::isPackagePath(path) ? packageFailureReason() : writeFailureReason(path);
}

}  // namespace

int runSet(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    props::RowChanges changes;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!argument.starts_with("--")) {
            paths.push_back(argument);
            continue;
        }
        const auto equals = argument.find('=');
        const std::string option = argument.substr(0, equals);
        const auto row = rowOfOption(option);
        if (!row) return usageError(err, "set: unknown option " + option);
        std::string text;
        if (equals != std::string::npos) text = argument.substr(equals + 1);
        else if (i + 1 < arguments.size()) text = arguments[++i];
        else return usageError(err, "set: " + option + " needs a value");
        std::string problem;
        const auto value = valueForRow(*row, text, &problem);
        if (!value) return usageError(err, "set: " + option + ": " + problem);
        changes[std::size_t(*row)] = *value;
    }
    if (paths.empty()) return usageError(err, "set: no file given");
    if (std::none_of(changes.begin(), changes.end(), [](const auto& change) { return change.has_value(); }))
        return usageError(err, "set: no property given");

    int status = 0;
    for (const std::string& path : paths) {
        const std::string failure = writeFile(path, changes);
        if (failure.empty()) {
            out << path << ": written\n";
        } else {
            err << "quorvane-cli: " << path << ": " << failure << '\n';
            status = 1;
        }
    }
    return status;
}

}  // namespace quorvane::cli
