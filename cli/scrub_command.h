// `quorvane-cli scrub [OPTIONS] FILE|FOLDER...`: removes personal information from each file in
// one change (change/scrub.h): the personal rows emptied, every custom property removed and, with
// --thumbnail, the thumbnail; the file's times and attributes kept.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "change/scrub.h"
#include "cli/file_options.h"

namespace quorvane::cli {

struct ScrubRequest {
    change::ScrubSettings settings;  // its `backup` is taken from files.backup
    FileOptions files;
};

// The request `arguments` (everything after "scrub") ask for: --keep ROWS (a comma list of
// title, subject, author, keywords, comments, category, last-saved-by, manager, company,
// total-editing-time, last-printed; also --keep=ROWS, and given more than once), --thumbnail
// and the shared options (cli/file_options.h). nullopt with the reason in `problem` for an
// unknown option or row name (named), a missing value, or no file.
std::optional<ScrubRequest> parseScrubArguments(const std::vector<std::string>& arguments, std::string* problem);

// Scrubs every file in turn as `set` changes them (cli/file_run.h): "PATH: scrubbed", or the
// failure on `err`. With --dry-run each file is only read, as the display reads it, and its
// report lists what would be removed: "  Label: 'old' -> ''" per row holding a value, "  Custom
// NAME: 'value' -> '(removed)'" per custom property, and "  thumbnail" when asked. Returns 0
// when every file was done, 1 when some was not, 2 for a usage error (nothing touched then).
int runScrub(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace quorvane::cli
