// SPDX-License-Identifier: Apache-2.0
// Runs olefile (Debian's /usr/bin/python3 with python3-olefile), an independent compound-file
// reader, over a file before and after a change: tests/support/olefile_compare.py.
#pragma once

#include <filesystem>

#include <nlohmann/json.hpp>

namespace quorvane::testing {

// The script's JSON verdict: old_opens, new_opens, changed, missing, added (stream paths with
// "\x05" as a real control character), props, issues. A null JSON value when the script
// could not be run.
nlohmann::json olefileCompare(const std::filesystem::path& before, const std::filesystem::path& after);

}  // namespace quorvane::testing
