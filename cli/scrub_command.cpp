// SPDX-License-Identifier: Apache-2.0
#include "cli/scrub_command.h"

#include "cli/file_run.h"
#include "cli/option_value.h"
#include "cli/output_text.h"
#include "cli/row_names.h"
#include "cli/usage.h"

namespace quorvane::cli {
namespace {

constexpr std::string_view kKeepOption = "--keep";

// Marks the rows named in `list` (comma-separated) as kept; false with `problem` set at the first
// name that is no scrubbed row.
bool keepRows(std::string_view list, props::RowSelection& keep, std::string& problem)
{
    const props::RowSelection scrubbed = change::scrubbedRows();
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string_view name = list.substr(start, comma - start);
        const auto row = rowOfName(name);
        if (!row || !scrubbed[std::size_t(*row)]) {
            problem = "unknown row '" + std::string(name) + "' (title, subject, author, keywords, comments, category, "
                      "last_saved_by, manager, company, total_editing_minutes or last_printed)";
            return false;
        }
        keep[std::size_t(*row)] = true;
        start = comma + 1;
    }
    return true;
}

}  // namespace

std::optional<ScrubRequest> parseScrubArguments(const std::vector<std::string>& arguments, std::string* problem)
{
    ScrubRequest request;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (const FileOption shared = readFileOption(arguments, i, request.files, *problem); shared != FileOption::NotThis) {
            if (shared == FileOption::Taken) continue;
            *problem = "scrub: " + *problem;
            return std::nullopt;
        }
        if (argument == "--thumbnail") {
            request.thumbnail = true;
            continue;
        }
        const std::string option = argument.substr(0, argument.find('='));
        if (option != kKeepOption) {
            *problem = "scrub: unknown option " + argument;
            return std::nullopt;
        }
        std::string missing;
        const std::optional<std::string> rows = optionValue(arguments, i, option, missing);
        if (!rows) {
            *problem = "scrub: " + missing;
            return std::nullopt;
        }
        std::string rowProblem;
        if (!keepRows(*rows, request.keep, rowProblem)) {
            *problem = "scrub: --keep: " + rowProblem;
            return std::nullopt;
        }
    }
    if (request.files.paths.empty()) {
        *problem = "scrub: no file given";
        return std::nullopt;
    }
    return request;
}

int runScrub(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    std::string problem;
    const auto request = parseScrubArguments(arguments, &problem);
    if (!request) return usageError(err, escapedForLine(problem), "scrub");
    return changeFiles(request->files, "scrubbed", change::scrubRequest(request->keep, request->thumbnail), out, err);
}

}  // namespace quorvane::cli
