// SPDX-License-Identifier: Apache-2.0
// quorvane-cli: shows and changes the document properties of presentation files from the
// command line, through the same core as the program. The one place that catches
// quorvane::Error and turns it into a message and an exit status, and that reports standard
// output that could not be written (exit status 1, with the system's reason).
#include <algorithm>
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "cli/apply_command.h"
#include "cli/export_command.h"
#include "cli/scrub_command.h"
#include "cli/set_command.h"
#include "cli/show_command.h"
#include "cli/standard_output.h"
#include "cli/usage.h"
#include "base/error.h"
#include "base/temp_cleanup.h"
#include "propset/property_set_access.h"

namespace {

using namespace quorvane::cli;

int runTool(const std::vector<std::string>& arguments)
{
    if (arguments.empty()) return usageError(std::cerr, "no command given");
    const std::string& command = arguments.front();
    if (command == "--help" || command == "-h" || command == "help") {
        printHelp(std::cout);
        return 0;
    }
    if (command == "--version") {
        printVersion(std::cout);
        return 0;
    }
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    // `COMMAND --help` anywhere before "--" asks for that command's help, nothing else.
    const auto optionsEnd = std::find(rest.begin(), rest.end(), "--");
    const bool helpAsked = std::find_if(rest.begin(), optionsEnd, [](const std::string& argument) {
                               return argument == "--help" || argument == "-h";
                           }) != optionsEnd;
    if (helpAsked && printCommandHelp(command, std::cout)) return 0;
    quorvane::propset::InitPropertySetAccess();
    int status = kUsageStatus;
    try {
        if (command == "show") status = runShow(rest, std::cout, std::cerr);
        else if (command == "set") status = runSet(rest, std::cout, std::cerr);
        else if (command == "export") status = runExport(rest, std::cout, std::cerr);
        else if (command == "scrub") status = runScrub(rest, std::cout, std::cerr);
        else if (command == "apply") status = runApply(rest, std::cout, std::cerr);
        else status = usageError(std::cerr, "unknown command " + command);
    } catch (const quorvane::Error& error) {
        std::cerr << "quorvane-cli: " << error.what() << '\n';
        status = 1;
    }
    quorvane::propset::ShutdownPropertySetAccess();
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");  // dates in the user's display form, as in the program
    quorvane::installTempCleanupHandlers();  // without it, a named temporary file may outlive SIGINT
    StandardOutput standardOutput(std::cout);
    const int status = runTool(std::vector<std::string>(argv + 1, argv + argc));
    if (const quorvane::Failure unwritten = standardOutput.flush(); unwritten.failed()) {
        std::cerr << "quorvane-cli: cannot write to standard output: " << unwritten.text() << '\n';
        return 1;
    }
    return status;
}
