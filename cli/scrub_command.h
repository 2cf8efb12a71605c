// SPDX-License-Identifier: Apache-2.0
// `quorvane-cli scrub [OPTIONS] FILE|FOLDER...`: removes personal information from each file in
// one change (change::scrubRequest): the personal rows emptied, every custom property removed,
// the last user's name of a .ppt and, with --thumbnail, the thumbnail; the file's times and
// attributes kept.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "change/file_request.h"
#include "cli/file_options.h"

namespace quorvane::cli {

struct ScrubRequest {
    props::RowSelection keep{};  // rows left as they are (only scrubbed rows count)
    bool thumbnail = false;      // also remove the document's thumbnail
    FileOptions files;
};

// The request `arguments` (everything after "scrub") ask for: --keep ROWS (a comma list of the
// scrubbed rows' machine names, '-' accepted for '_': title, subject, author, keywords,
// comments, category, last_saved_by, manager, company, total_editing_minutes, last_printed;
// also --keep=ROWS, and given more than once), --thumbnail
// and the shared options (cli/file_options.h). nullopt with the reason in `problem` for an
// unknown option or row name (named), a missing value, or no file.
std::optional<ScrubRequest> parseScrubArguments(const std::vector<std::string>& arguments, std::string* problem);

// Scrubs every file in turn as `set` changes them (cli/file_run.h): "PATH: scrubbed" ("PATH:
// unchanged" when nothing was there to remove), or the failure on `err`. With --dry-run each
// file is only planned, and its plan lists what would be removed: "  Label: 'old' -> ''" per row
// holding a value, "  Custom NAME: 'value' -> '(removed)'" per custom property, and the
// thumbnail and last user name when present. Returns 0
// when every file was done, 1 when some was not, 2 for a usage error (nothing touched then).
int runScrub(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace quorvane::cli
