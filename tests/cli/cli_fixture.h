// SPDX-License-Identifier: Apache-2.0
// Runs the built quorvane-cli as a user runs it, in the C locale, on writable copies of corpus
// files in a scratch folder, and keeps its exit status and both outputs.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/corpus.h"

namespace quorvane::testing {

// Runs a shell command as uid and gid 65534 without supplementary groups.
inline constexpr char kOtherUser[] = "setpriv --reuid=65534 --regid=65534 --clear-groups ";

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string shellQuoted(const std::string& text)
{
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

class Cli : public ::testing::Test {
protected:
    // `wrap` turns the shell command that runs the tool into the one that is run (another user,
    // a private mount namespace); the outputs are redirected around the wrapped command.
    CliRun run(const std::vector<std::string>& arguments,
               const std::function<std::string(const std::string&)>& wrap = {})
    {
        std::string command = "env LC_ALL=C " + shellQuoted(tool_);
        for (const std::string& argument : arguments) command += " " + shellQuoted(argument);
        if (wrap) command = wrap(command);
        const std::filesystem::path out = scratch_.path() / "out.txt", err = scratch_.path() / "err.txt";
        command += " >" + shellQuoted(out.string()) + " 2>" + shellQuoted(err.string());
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFileBytes(out), readFileBytes(err)};
    }
    std::string copyOf(const std::string& name)
    {
        const std::filesystem::path path = scratch_.copyOfCorpusFile(name);
        std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
        return path.string();
    }
    // Lets uid 65534 run the tool (root only): from here on run() runs a copy of it in the scratch
    // folder, which that user may enter, as the build folder it was built in may not be (a
    // checkout under a home of mode 0700). The tool links the project's libraries statically.
    // Gives why that user still cannot run it, "" when it can.
    std::string letOtherUserRunTheTool()
    {
        namespace fs = std::filesystem;
        if (std::system((std::string(kOtherUser) + "true >/dev/null 2>&1").c_str()) != 0)
            return "setpriv cannot switch to uid 65534 here";
        const fs::path copy = scratch_.path() / "tool" / "quorvane-cli";
        fs::create_directory(copy.parent_path());
        fs::copy_file(tool_, copy);
        fs::permissions(scratch_.path(), fs::perms::others_exec, fs::perm_options::add);
        fs::permissions(copy.parent_path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
        tool_ = copy.string();
        // Through env as run() starts it: setpriv given the path itself may reach it regardless.
        if (std::system((std::string(kOtherUser) + "env " + shellQuoted(tool_) + " --version >/dev/null 2>&1").c_str()) != 0)
            return "uid 65534 cannot run " + tool_ + ": a folder above it is closed to that user";
        return "";
    }
    ScratchDir scratch_;
    std::string tool_ = QUORVANE_BINARY_DIR "/cli/quorvane-cli";
};

}  // namespace quorvane::testing
