#include "cli/set_command.h"

#include "change/change_engine.h"
#include "cli/set_options.h"
#include "cli/usage.h"
#include "fileinfo/backup.h"
#include "base/error.h"

namespace quorvane::cli {
namespace {

// "" when the file was changed, else why not.
std::string changeFile(const std::string& path, const change::BatchSettings& settings)
{
    if (settings.backup && !fileinfo::backupoldfile(path))
        return "no backup could be made as " + fileinfo::backupNameOf(path) + "; the file was not changed";
    try {
        return change::changeFileInBatch(path, settings).text();
    } catch (const Error& error) {
        return error.what();
    }
}

}  // namespace

int runSet(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    std::string problem;
    const auto request = parseSetArguments(arguments, &problem);
    if (!request) return usageError(err, problem);

    int status = 0;
    for (const std::string& path : request->paths) {
        const std::string failure = changeFile(path, request->settings);
        if (failure.empty()) {
            out << path << ": changed\n";
        } else {
            err << "quorvane-cli: " << path << ": failed: " << failure << '\n';
            status = 1;
        }
    }
    return status;
}

}  // namespace quorvane::cli
