// SPDX-License-Identifier: Apache-2.0
// Independent readers of the archives we rewrite: tests/support/zip_compare.py under Debian's
// /usr/bin/python3 (see the script for what it checks), and exiftool for the properties of a
// package.
#pragma once

#include <filesystem>
#include <map>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace quorvane::testing {

struct RewrittenArchive {
    std::filesystem::path original;
    std::filesystem::path rewritten;
    std::vector<std::string> replaced;                          // entry names as stored
    std::map<std::string, std::vector<std::string>> expect;     // texts each new entry holds
    std::vector<std::string> removed{};                         // left out of the rewritten one
    std::vector<std::string> added{};                           // appended, in this order
};

// True when /usr/bin/python3 is there to run the check.
bool pythonAvailable();

// The problem lines of the script at `scriptPath` (tests/support/zip_compare.py), empty when every
// archive passed; a line of its own when the script could not be run at all.
std::string problemsSeenByPython(const std::filesystem::path& scriptPath, const std::vector<RewrittenArchive>& archives);

// True when /usr/bin/exiftool is there to run.
bool exiftoolAvailable();

// What `exiftool -j` reports for the file at `path`: the object of its one file, or null when
// exiftool is not installed or reports nothing.
nlohmann::json exiftoolTags(const std::filesystem::path& path);

}  // namespace quorvane::testing
