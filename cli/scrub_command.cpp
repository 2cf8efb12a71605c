#include "cli/scrub_command.h"

#include "cli/dry_run_report.h"
#include "cli/file_run.h"
#include "cli/option_value.h"
#include "cli/output_text.h"
#include "cli/row_names.h"
#include "cli/usage.h"
#include "base/error.h"

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
                      "last-saved-by, manager, company, total-editing-time or last-printed)";
            return false;
        }
        keep[std::size_t(*row)] = true;
        start = comma + 1;
    }
    return true;
}

// Prints what a scrub of `path` would remove; "" when the file could be read, else why not.
std::string reportDryRun(const std::string& path, const change::ScrubSettings& settings, std::ostream& out)
{
    const auto display = readForDryRun(path, true);
    if (!display.ok()) return display.failure().text();
    DryRunReport report;
    const props::RowSelection scrubbed = change::scrubbedRows();
    for (int row = 0; row < props::kRowCount; ++row)
        if (scrubbed[std::size_t(row)] && !settings.keep[std::size_t(row)])
            report.addChange(props::catalogueRow(row).label, (*display->rows)[std::size_t(row)], "");
    const props::CustomEdit removeAll{props::CustomEdit::Kind::RemoveAll, {}, {}};
    report.addCustomChanges(display->custom, std::span(&removeAll, 1));
    if (settings.thumbnail) report.addLine("thumbnail");
    report.print(path, out);
    return "";
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
            request.settings.thumbnail = true;
            continue;
        }
        const std::string option = argument.substr(0, argument.find('='));
        if (option != kKeepOption) {
            *problem = "scrub: unknown option " + argument;
            return std::nullopt;
        }
        const std::optional<std::string> rows = optionValue(arguments, i, option);
        if (!rows) {
            *problem = "scrub: --keep needs a list of rows";
            return std::nullopt;
        }
        std::string rowProblem;
        if (!keepRows(*rows, request.settings.keep, rowProblem)) {
            *problem = "scrub: --keep: " + rowProblem;
            return std::nullopt;
        }
    }
    request.settings.backup = request.files.backup;
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
    if (!request) return usageError(err, escapedForLine(problem));
    const auto work = [&request](const std::string& path, std::ostream& report) -> std::string {
        if (request->files.dryRun) return reportDryRun(path, request->settings, report);
        try {
            return change::scrubFile(path, request->settings).text();
        } catch (const Error& error) {
            return error.what();
        }
    };
    return runOnFiles(request->files, "scrubbed", work, out, err);
}

}  // namespace quorvane::cli
