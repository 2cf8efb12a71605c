// SPDX-License-Identifier: Apache-2.0
#include "cli/file_run.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <sstream>
#include <vector>

#include <sys/resource.h>

#include "base/flush_group.h"
#include "change/file_plan.h"
#include "change/package_rewrite_refusal.h"
#include "cli/dry_run_report.h"
#include "cli/file_arguments.h"
#include "cli/output_text.h"
#include "cli/parallel_files.h"
#include "document/signature_check.h"

namespace quorvane::cli {
namespace {

// The reason printed for a file that failed: the core's, with the option that overrides the
// refusal of a signed document, of a change that cannot keep a non-owner's file times, or of a
// package with `otherHardLinks` other names (the window has no such options, so the core cannot
// name them).
std::string reasonOf(const Failure& failure, std::uint64_t otherHardLinks)
{
    if (failure == document::signedDocumentRefusal()) return failure.text() + "; --force-signed changes it anyway";
    if (failure == change::timesNotKeptRefusal()) return failure.text() + "; --allow-new-times changes it anyway";
    if (otherHardLinks > 0 && failure == change::hardLinksRefusal(otherHardLinks + 1))
        return failure.text() + "; --break-links changes it anyway";
    return failure.text();
}

// How many files' changes may be in flight at once, sharing their flushes (base/flush_group.h):
// enough that a batch pays a handful of flush rounds per hundred files, few enough that the
// descriptors they hold open while they wait for a round (the file, its new copy, its folder, a
// backup) stay well under the process's limit.
int filesInFlight()
{
    constexpr int kMostFiles = 128;
    constexpr rlim_t kDescriptorsPerFile = 4, kDescriptorsKept = 64;
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur <= kDescriptorsKept + kDescriptorsPerFile) return 1;
    return int(std::min<rlim_t>(kMostFiles, (limit.rlim_cur - kDescriptorsKept) / kDescriptorsPerFile));
}

// A flush round is run at the latest this long after a file asked for it, so that one slow file
// does not hold back the others' progress.
constexpr std::chrono::milliseconds kLongestFlushWait{1000};

}  // namespace

int changeFiles(const FileOptions& options, std::string_view doneWord, const change::FileRequest& request,
                std::ostream& out, std::ostream& err)
{
    const FileArguments files = expandFileArguments(options.paths, options.recursive);
    const int folderStatus = reportUnreadableFolders(files, err);
    const auto sameRequest = [&request](const std::string&, std::size_t) -> Result<change::FileRequest> { return request; };
    return std::max(folderStatus, changeFileList(files.paths, options, doneWord, sameRequest, out, err));
}

int changeFileList(const std::vector<std::string>& paths, const FileOptions& options, std::string_view doneWord,
                   const RequestForFile& requestFor, std::ostream& out, std::ostream& err)
{
    int status = 0;
    change::ChangeOptions changeOptions{options.forceSigned, options.backup, options.allowNewTimes, options.breakLinks};
    // Each file's report and failure, kept from its work until its last turn to be printed.
    struct Outcome {
        std::string report, failure;
        std::string word;  // after the path of a file changed (or found unchanged)
    };
    std::vector<std::unique_ptr<Outcome>> outcomes(paths.size());
    // `jobs` files are worked on at a time; many more wait for a flush round together.
    std::optional<FlushGroup> flushGroup;
    const int inFlight = std::max(options.jobs, filesInFlight());
    // Half of the files in flight make a round, so that the other half works on while it writes.
    if (!options.dryRun) flushGroup.emplace(options.jobs, std::max(1, inFlight / 2), kLongestFlushWait);
    changeOptions.flushGroup = flushGroup ? &*flushGroup : nullptr;
    const auto workOnPlace = [&](std::size_t place) {
        const std::string& path = paths[place];
        std::ostringstream report;
        std::string failure;
        std::string word;
        const Result<change::FileRequest> fileRequest = requestFor(path, place + 1);
        if (!fileRequest.ok()) {
            failure = fileRequest.failure().text();
        } else if (options.dryRun) {
            const change::FilePlan plan = change::planFileChange(path, *fileRequest, changeOptions);
            if (plan.refused()) {
                failure = reasonOf(plan.refusal, plan.otherHardLinks);
            } else {
                printPlan(path, plan, report);
                failure = plan.readTrace.text();  // "" when the read left no trace
            }
        } else {
            const FlushGroup::Member member(*flushGroup, path);
            const change::FileOutcome outcome = change::applyFileChange(path, *fileRequest, changeOptions);
            if (outcome.failed()) failure = reasonOf(outcome.failure, outcome.otherHardLinks);
            else if (outcome.changes.empty()) word = "unchanged";
            else word = std::string(doneWord) + splitLinksNote(outcome.otherHardLinks, true);
        }
        outcomes[place] = std::make_unique<Outcome>(Outcome{std::move(report).str(), std::move(failure), std::move(word)});
    };
    forEachFileInOrder(paths, options.dryRun ? options.jobs : inFlight, workOnPlace, [&](std::size_t place, std::size_t firstPlace) {
        const std::string& failure = outcomes[firstPlace]->failure;
        out << outcomes[firstPlace]->report;
        if (failure.empty()) {
            if (!options.dryRun) out << escapedForLine(paths[place]) << ": " << outcomes[firstPlace]->word << '\n';
        } else {
            err << "quorvane-cli: " << escapedForLine(paths[place]) << ": failed: " << escapedForLine(failure) << '\n';
            status = 1;
        }
    }, [&](std::size_t firstPlace) { outcomes[firstPlace].reset(); });
    return status;
}

}  // namespace quorvane::cli
