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
        std::string command = "env LC_ALL=C " + shellQuoted(QUORVANE_BINARY_DIR "/cli/quorvane-cli");
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
    ScratchDir scratch_;
};

}  // namespace quorvane::testing
