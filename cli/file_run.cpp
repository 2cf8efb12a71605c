#include "cli/file_run.h"

#include <sstream>
#include <vector>

#include "cli/file_arguments.h"
#include "cli/output_text.h"
#include "cli/parallel_files.h"
#include "document/signature_check.h"

namespace quorvane::cli {

int runOnFiles(const FileOptions& options, std::string_view doneWord, const FileWork& work, std::ostream& out,
               std::ostream& err)
{
    const FileArguments files = expandFileArguments(options.paths, options.recursive);
    int status = reportUnreadableFolders(files, err);
    const document::SignedDocumentWrites signedWrites(options.forceSigned);
    // Each file's report and failure, kept until its turn to be printed.
    std::vector<std::string> reports(files.paths.size()), failures(files.paths.size());
    const auto workOnPlace = [&](std::size_t place) {
        const document::SignedDocumentWrites signedWritesOfThread(options.forceSigned);
        std::ostringstream report;
        failures[place] = work(files.paths[place], report);
        reports[place] = std::move(report).str();
    };
    forEachFileInOrder(files.paths, options.jobs, workOnPlace, [&](std::size_t place, std::size_t firstPlace) {
        const std::string& path = files.paths[place];
        const std::string& failure = failures[firstPlace];
        out << reports[firstPlace];
        if (failure.empty()) {
            if (!options.dryRun) out << escapedForLine(path) << ": " << doneWord << '\n';
        } else {
            err << "quorvane-cli: " << escapedForLine(path) << ": failed: " << escapedForLine(failure) << '\n';
            status = 1;
        }
    });
    return status;
}

}  // namespace quorvane::cli
