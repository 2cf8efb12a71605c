// SPDX-License-Identifier: Apache-2.0
#include "cli/export_command.h"

#include <unistd.h>

#include "change/file_display.h"
#include "change/progress_percent.h"
#include "cli/csv_output.h"
#include "cli/export_options.h"
#include "cli/file_arguments.h"
#include "cli/output_text.h"
#include "cli/parallel_files.h"
#include "cli/usage.h"
#include "export/csv_export.h"
#include "export/custom_columns.h"

namespace quorvane::cli {
namespace {

// Redraws a one-line progress bar in place on a terminal.
void drawProgress(std::ostream& err, int percent)
{
    constexpr int kBarWidth = 40;
    const int filled = percent * kBarWidth / 100;
    err << "\r[" << std::string(std::size_t(filled), '#') << std::string(std::size_t(kBarWidth - filled), ' ') << "] "
        << percent << "%" << std::flush;
}

// Writes the lines, each followed by CR LF, to `out`; false when the stream failed.
bool writeLines(const exporting::ExportList& lines, std::ostream& out)
{
    for (const std::string& line : lines) out << line << "\r\n";
    out.flush();
    return bool(out);
}

// A full file line of the export and the custom properties of its file.
struct LineWithCustom {
    std::size_t lineIndex;
    const std::vector<props::CustomProperty>* custom;
};

// Adds the custom columns (export/custom_columns.h) to the header, lines[0], and to every full
// file line; the other lines (a missing file's short line) are filled up as they are written.
void addCustomColumns(exporting::ExportList& lines, const std::vector<LineWithCustom>& fullLines)
{
    std::vector<std::vector<props::CustomProperty>> customs;
    customs.reserve(fullLines.size());
    for (const LineWithCustom& full : fullLines) customs.push_back(*full.custom);
    const std::vector<std::string> columns = exporting::customColumnsOf(customs);
    exporting::appendCustomTitles(lines.front(), columns);
    for (const LineWithCustom& full : fullLines) exporting::appendCustomValues(lines[full.lineIndex], columns, *full.custom);
}

}  // namespace

int runExport(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    std::string problem;
    const auto request = parseExportArguments(arguments, &problem);
    if (!request) return usageError(err, escapedForLine(problem), "export");
    const FileArguments files = expandFileArguments(request->names, request->recursive);
    if (!request->output.empty()) {
        if (const std::string refusal = refusalOfOutput(request->output, files.paths, request->force); !refusal.empty())
            return usageError(err, "export: " + escapedForLine(refusal), "export");
    }
    const std::vector<std::string>& paths = files.paths;
    const bool showBar = request->progress && ::isatty(STDERR_FILENO);

    int status = reportUnreadableFolders(files, err);
    exporting::ExportList lines;
    exporting::WriteCsvHeader(lines);
    // Each file's lines and failure, kept until its turn to be added.
    std::vector<exporting::ExportList> fileLines(paths.size());
    std::vector<Failure> failures(paths.size());
    // With --custom, each file's custom properties when its full line was added.
    std::vector<std::optional<std::vector<props::CustomProperty>>> customs(paths.size());
    std::vector<LineWithCustom> linesWithCustom;
    const auto work = [&](std::size_t place) {
        const change::FileDisplay read = change::ReadFileForDisplay(paths[place], request->custom);
        exporting::appendDisplayLine(paths[place], read, fileLines[place], request->custom ? &customs[place] : nullptr,
                                     request->localeDates ? exporting::DateForm::Display : exporting::DateForm::IsoLocal);
        // Every reason `show` gives: a line of empty values is no file's values.
        failures[place] = read.firstFailure();
    };
    forEachFileInOrder(paths, request->jobs, work, [&](std::size_t i, std::size_t firstPlace) {
        const exporting::ExportList& added = fileLines[firstPlace];
        lines.insert(lines.end(), added.begin(), added.end());
        if (customs[firstPlace]) linesWithCustom.push_back({lines.size() - 1, &*customs[firstPlace]});
        if (const Failure& failure = failures[firstPlace]; failure.failed()) {
            if (showBar) err << '\n';
            const bool lineAdded = !added.empty();
            err << "quorvane-cli: " << escapedForLine(paths[i]) << ": " << escapedForLine(failure.text())
                << (lineAdded ? "" : "; no line written") << '\n';
            status = 1;
        }
        if (showBar) drawProgress(err, change::progressPercent(int(i + 1), int(paths.size())));
    });
    if (showBar) err << '\n';
    if (request->custom) addCustomColumns(lines, linesWithCustom);
    // RFC 4180 2.4: each line holds as many fields as the header (a missing file's line too).
    const std::size_t fieldCount = csvFieldCount(lines.front());
    for (std::string& line : lines) line = csvLineForOutput(withFieldCount(std::move(line), fieldCount), request->safeFormulas);
    if (request->output.empty()) {
        if (!writeLines(lines, out)) return 1;  // the tool names the cause as it ends
    } else if (const Failure unsaved = exporting::saveExportList(request->output, lines); unsaved.failed()) {
        err << "quorvane-cli: cannot save to " << escapedForLine(request->output) << ": " << escapedForLine(unsaved.text())
            << '\n';
        return 1;
    }
    return status;
}

}  // namespace quorvane::cli
