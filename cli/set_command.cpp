// SPDX-License-Identifier: Apache-2.0
#include "cli/set_command.h"

#include <algorithm>

#include "change/file_display.h"
#include "cli/file_arguments.h"
#include "cli/file_run.h"
#include "cli/output_text.h"
#include "cli/set_options.h"
#include "cli/usage.h"
#include "props/catalogue.h"

namespace quorvane::cli {

int runSet(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    std::string problem;
    const auto set = parseSetArguments(arguments, &problem);
    if (!set) return usageError(err, escapedForLine(problem), "set");
    if (set->rowTemplates.empty()) return changeFiles(set->files, "changed", set->request, out, err);
    // Each file's request: the templates filled in from the file as it is before the change.
    const FileArguments files = expandFileArguments(set->files.paths, set->files.recursive);
    const int folderStatus = reportUnreadableFolders(files, err);
    const auto requestFor = [&set](const std::string& path, std::size_t number) -> Result<change::FileRequest> {
        const change::FileDisplay current = change::ReadFileForDisplay(path);
        change::FileRequest request = set->request;
        for (const RowTemplate& rowTemplate : set->rowTemplates) {
            const std::string text = rowTemplate.value.resolve({path, number, &current});
            std::string problem;
            const auto value = rowValueOfArgument(rowTemplate.row, text, &problem);
            if (!value) return Failure(FailureKind::Conversion, "--" + std::string(props::catalogueRow(rowTemplate.row).name) + ": " + problem);
            request.content.rows[std::size_t(rowTemplate.row)] = *value;
        }
        return request;
    };
    return std::max(folderStatus, changeFileList(files.paths, set->files, "changed", requestFor, out, err));
}

}  // namespace quorvane::cli
