#include "cli/file_run.h"

#include <memory>
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
    // Each file's report and failure, kept from its work until its last turn to be printed.
    struct Outcome {
        std::string report, failure;
    };
    std::vector<std::unique_ptr<Outcome>> outcomes(files.paths.size());
    const auto workOnPlace = [&](std::size_t place) {
        const document::SignedDocumentWrites signedWritesOfThread(options.forceSigned);
        std::ostringstream report;
        std::string failure = work(files.paths[place], report);
        outcomes[place] = std::make_unique<Outcome>(Outcome{std::move(report).str(), std::move(failure)});
    };
    forEachFileInOrder(files.paths, options.jobs, workOnPlace, [&](std::size_t place, std::size_t firstPlace) {
        const std::string& path = files.paths[place];
        const std::string& failure = outcomes[firstPlace]->failure;
        out << outcomes[firstPlace]->report;
        if (failure.empty()) {
            if (!options.dryRun) out << escapedForLine(path) << ": " << doneWord << '\n';
        } else {
            err << "quorvane-cli: " << escapedForLine(path) << ": failed: " << escapedForLine(failure) << '\n';
            status = 1;
        }
    }, [&](std::size_t firstPlace) { outcomes[firstPlace].reset(); });
    return status;
}

}  // namespace quorvane::cli
