// SPDX-License-Identifier: Apache-2.0
// Fault runs for whole-file replacements (CSV export, saved defaults): the save is run again and
// again with its temporary file failing write k, or cut off after write k, for every k, and each
// time the target must be exactly as before and no temporary file may be left in its folder.
#pragma once

#include <filesystem>
#include <functional>

#include "base/temp_file.h"

namespace quorvane::testing {

// Runs `save` (which must pass its argument on as the target wrapper) under every fault point
// and checks each failed run as above, failing the calling test otherwise. Returns the number of
// fault points exercised; the target is put back as it was before each of the two modes, and
// the last run, free of faults, is left to succeed: its result is returned in `finalResult`.
int exerciseWholeFileFaults(const std::filesystem::path& target,
                            const std::function<bool(const TargetWrapper&)>& save, bool* finalResult);

}  // namespace quorvane::testing
