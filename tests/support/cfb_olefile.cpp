// SPDX-License-Identifier: Apache-2.0
#include "tests/support/cfb_olefile.h"

#include <cstdio>
#include <memory>
#include <string>

namespace quorvane::testing {
namespace {

std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace

nlohmann::json olefileCompare(const std::filesystem::path& before, const std::filesystem::path& after)
{
    const std::string script = std::string(QUORVANE_SOURCE_DIR) + "/tests/support/olefile_compare.py";
    const std::string command = "/usr/bin/python3 " + quoted(script) + " " + quoted(before.string()) + " " + quoted(after.string());
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) return nullptr;
    std::string output;
    char buffer[4096];
    while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe.get())) output.append(buffer, got);
    return nlohmann::json::parse(output, nullptr, false).is_discarded() ? nlohmann::json() : nlohmann::json::parse(output);
}

}  // namespace quorvane::testing
