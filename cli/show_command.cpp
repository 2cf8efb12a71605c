// SPDX-License-Identifier: Apache-2.0
#include "cli/show_command.h"

#include <array>
#include <memory>
#include <utility>

#include "change/file_display.h"
#include "cli/file_arguments.h"
#include "cli/jobs_option.h"
#include "cli/output_text.h"
#include "cli/parallel_files.h"
#include "cli/show_json.h"
#include "cli/usage.h"
#include "document/document_format.h"
#include "fileinfo/snapshot_display.h"
#include "props/catalogue.h"

namespace quorvane::cli {
namespace {

// Reads a file as the program's display does (snapshot and rows, nothing written), so that
// showing a file leaves no trace on it.
FileReport readFile(const std::string& path)
{
    FileReport report{path, {}, {}, {}, {}, {}};
    const change::FileDisplay display = change::ReadFileForDisplay(path);
    if (display.format) report.format = *display.format == document::DocumentFormat::Package ? "pptx" : "ppt";
    report.snapshot = display.snapshot;
    if (display.rows) report.rows = *display.rows;
    report.custom = display.custom;
    // A compound document whose rows cannot be read still counts as shown, but not for the tool.
    report.failure = display.firstFailure().text();
    return report;
}

void printText(const FileReport& file, std::ostream& out)
{
    out << escapedForLine(file.path) << '\n';
    for (int row = 0; row < props::kRowCount; ++row)
        out << props::catalogueRow(row).label << ": " << escapedForLine(file.rows[std::size_t(row)]) << '\n';
    for (const props::CustomProperty& custom : file.custom)
        out << "Custom: " << escapedForLine(custom.name) << " (" << escapedForLine(custom.type)
            << ") = " << escapedForLine(custom.value) << '\n';
    std::array<std::string, props::kFileInfoLabelCount> fileInfo;
    if (file.snapshot) fileInfo = fileinfo::fileInfoTexts(*file.snapshot);
    for (int index = 0; index < props::kFileInfoLabelCount; ++index)
        out << props::fileInfoLabel(index) << ": " << escapedForLine(fileInfo[std::size_t(index)]) << '\n';
}

}  // namespace

int runShow(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    bool json = false;
    bool recursive = false;
    bool optionsEnded = false;
    int jobs = defaultJobs();
    std::string jobsProblem;
    std::vector<std::string> names;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        if (optionsEnded || argument == "-" || !argument.starts_with("-")) names.push_back(argument);
        else if (argument == "--") optionsEnded = true;
        else if (const JobsOption option = readJobsOption(arguments, index, jobs, jobsProblem); option != JobsOption::NotThis) {
            if (option == JobsOption::Invalid) return usageError(err, "show: " + escapedForLine(jobsProblem), "show");
        }
        else if (argument == "--json") json = true;
        else if (argument == "-r" || argument == "--recursive") recursive = true;
        else return usageError(err, "show: unknown option " + escapedForLine(argument), "show");
    }
    if (names.empty()) return usageError(err, "show: no file given", "show");
    const FileArguments files = expandFileArguments(names, recursive);

    int status = reportUnreadableFolders(files, err);
    if (json) out << "[";
    // Each file's report from its read until its last turn to be printed.
    std::vector<std::unique_ptr<FileReport>> reports(files.paths.size());
    const auto work = [&](std::size_t place) { reports[place] = std::make_unique<FileReport>(readFile(files.paths[place])); };
    forEachFileInOrder(files.paths, jobs, work, [&](std::size_t i, std::size_t firstPlace) {
        FileReport& file = *reports[firstPlace];
        file.path = files.paths[i];
        if (!file.failure.empty()) {
            err << "quorvane-cli: " << escapedForLine(file.path) << ": " << escapedForLine(file.failure) << '\n';
            status = 1;
        }
        if (json) {
            out << (i ? ",\n " : "");
            out << jsonObjectOf(file);
        } else {
            if (i) out << '\n';
            printText(file, out);
        }
    }, [&](std::size_t firstPlace) { reports[firstPlace].reset(); });
    if (json) out << "]\n";
    return status;
}

}  // namespace quorvane::cli
