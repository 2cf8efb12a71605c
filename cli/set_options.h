// The options of `quorvane-cli set`, read into the batch settings of the change engine: a row
// option checks its row with the given value, a date or time option checks its apply box with
// the given date or time of day, an attribute option sets or clears its bit (absent: left as
// it is), and --backup copies each file aside first.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "change/batch_settings.h"

namespace quorvane::cli {

struct SetRequest {
    change::BatchSettings settings;  // nothing checked and every attribute grayed unless asked
    std::vector<std::string> paths;
};

// The request `arguments` (everything after "set") ask for. nullopt with the reason in `problem`
// for an unknown option, a missing or malformed value, no file, or nothing to change.
std::optional<SetRequest> parseSetArguments(const std::vector<std::string>& arguments, std::string* problem);

}  // namespace quorvane::cli
