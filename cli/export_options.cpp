// SPDX-License-Identifier: Apache-2.0
#include "cli/export_options.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>

#include "cli/jobs_option.h"
#include "cli/option_value.h"
#include "fileinfo/folder_scan.h"

namespace quorvane::cli {
namespace {

bool endsWithCsv(const std::string& name)
{
    if (name.size() < 4) return false;
    std::string extension = name.substr(name.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension == ".csv";
}

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

}  // namespace

std::optional<ExportRequest> parseExportArguments(const std::vector<std::string>& arguments, std::string* problem)
{
    ExportRequest request;
    bool outputGiven = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument == "-" || !argument.starts_with("-")) {
            request.names.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-o" || argument == "--output") {
            std::string missing;  // -o is --output, which also takes --output=FILE
            const std::optional<std::string> output = optionValue(arguments, i, "--output", missing);
            if (!output) {
                *problem = "export: " + missing + " (a file name, or - for standard output)";
                return std::nullopt;
            }
            request.output = *output;
            outputGiven = true;
        } else if (argument.starts_with("--output=") && argument.size() > 9) {
            request.output = argument.substr(9);
            outputGiven = true;
        } else if (argument == "--force") {
            request.force = true;
        } else if (argument == "--progress") {
            request.progress = true;
        } else if (argument == "--safe-formulas") {
            request.safeFormulas = true;
        } else if (argument == "--custom") {
            request.custom = true;
        } else if (argument == "--locale-dates") {
            request.localeDates = true;
        } else if (argument == "-r" || argument == "--recursive") {
            request.recursive = true;
        } else if (const JobsOption jobs = readJobsOption(arguments, i, request.jobs, *problem); jobs != JobsOption::NotThis) {
            if (jobs == JobsOption::Invalid) {
                *problem = "export: " + *problem;
                return std::nullopt;
            }
        } else {
            *problem = "export: unknown option " + argument;
            return std::nullopt;
        }
    }
    // The older form `export OUT.csv FILE...`, kept only where it cannot name a presentation.
    if (!outputGiven && request.names.size() >= 2 && endsWithCsv(request.names.front())) {
        request.output = request.names.front();
        request.names.erase(request.names.begin());
    }
    if (request.output == "-") request.output.clear();
    if (!outputGiven && request.names.size() == 1 && endsWithCsv(request.names.front())) {
        *problem = "export: give the files to export after " + request.names.front();
        return std::nullopt;
    }
    if (request.names.empty()) {
        *problem = "export: no file given";
        return std::nullopt;
    }
    return request;
}

std::string refusalOfOutput(const std::string& output, const std::vector<std::string>& inputs, bool force)
{
    if (fileinfo::hasPresentationExtension(output))
        return "will not write the CSV into " + output + ", a presentation file name (give the CSV file with -o)";
    struct stat outputStatus {};
    const bool exists = ::stat(output.c_str(), &outputStatus) == 0;
    for (const std::string& input : inputs) {
        struct stat inputStatus {};
        if (input == output || (exists && ::stat(input.c_str(), &inputStatus) == 0 && sameFile(inputStatus, outputStatus)))
            return "will not write the CSV into " + output + ", one of the files to export";
    }
    if (exists && !force) return output + " exists; give --force to replace it";
    return "";
}

}  // namespace quorvane::cli
