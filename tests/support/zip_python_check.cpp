// SPDX-License-Identifier: Apache-2.0
#include "tests/support/zip_python_check.h"

#include <stdio.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "tests/support/corpus.h"

namespace quorvane::testing {

namespace {

constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kExiftool = "/usr/bin/exiftool";

// The standard output of `command` run by the shell, and its exit status in `status`.
std::string outputOf(const std::string& command, int& status)
{
    status = -1;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return "";
    std::string output;
    char buffer[4096];
    while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
    status = ::pclose(pipe);
    return output;
}

}  // namespace

bool pythonAvailable() { return ::access(kPython, X_OK) == 0; }

std::string problemsSeenByPython(const std::filesystem::path& scriptPath, const std::vector<RewrittenArchive>& archives)
{
    nlohmann::json manifest = nlohmann::json::array();
    for (const RewrittenArchive& a : archives)
        manifest.push_back({{"original", a.original.string()},
                            {"rewritten", a.rewritten.string()},
                            {"replaced", a.replaced},
                            {"expect", a.expect},
                            {"removed", a.removed},
                            {"added", a.added}});
    ScratchDir scratch;
    const auto manifestPath = scratch.path() / "manifest.json";
    writeFileBytes(manifestPath, manifest.dump());
    const std::string command = std::string(kPython) + " '" + scriptPath.string() + "' < '" +
                                manifestPath.string() + "' 2>&1";
    int status = 0;
    const std::string output = outputOf(command, status);
    if (status == -1) return "cannot run " + command + "\n";
    if (status != 0 && output.empty()) return "zip_compare.py failed without a word\n";
    return output;
}

bool exiftoolAvailable() { return ::access(kExiftool, X_OK) == 0; }

nlohmann::json exiftoolTags(const std::filesystem::path& path)
{
    if (!exiftoolAvailable()) return nullptr;
    int status = 0;
    const std::string output = outputOf(std::string(kExiftool) + " -j '" + path.string() + "' 2>/dev/null", status);
    const nlohmann::json parsed = nlohmann::json::parse(output, nullptr, false);
    if (!parsed.is_array() || parsed.size() != 1) return nullptr;
    return parsed[0];
}

}  // namespace quorvane::testing
