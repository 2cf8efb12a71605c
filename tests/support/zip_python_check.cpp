#include "tests/support/zip_python_check.h"

#include <stdio.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "tests/support/corpus.h"

namespace quorvane::testing {

namespace {
constexpr const char* kPython = "/usr/bin/python3";
}

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
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return "cannot run " + command + "\n";
    std::string output;
    char buffer[4096];
    while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
    const int status = ::pclose(pipe);
    if (status != 0 && output.empty()) return "zip_compare.py failed without a word\n";
    return output;
}

}  // namespace quorvane::testing
