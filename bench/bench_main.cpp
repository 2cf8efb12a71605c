// SPDX-License-Identifier: Apache-2.0
// quorvane-bench: runs one benchmarked operation over the files given and reports, as one line
// on standard error, how many files failed and how many bytes the operation wrote:
//   bench-result failed=N wchar=BYTES write_bytes=BYTES
// Timing and peak memory are taken from outside by bench/run-bench, the same way for the
// reference tools. Standard output carries what the operation shows (send it to /dev/null).
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_operations.h"
#include "bench/process_io.h"

namespace {

using Arguments = std::vector<std::string>;

struct Command {
    std::size_t minArguments;
    const char* usage;
    std::function<int(const Arguments&)> run;
};

int toInt(const std::string& text) { return int(std::strtol(text.c_str(), nullptr, 10)); }

const std::map<std::string, Command>& commands()
{
    using namespace quorvane::bench;
    static const std::map<std::string, Command> table{
        {"write-all", {2, "write-all FILE RUN", [](const Arguments& a) { return writeAllRows(a[0], toInt(a[1])); }}},
        {"add-padding", {2, "add-padding FILE BYTES",
                         [](const Arguments& a) { return addPaddingStream(a[0], std::strtoull(a[1].c_str(), nullptr, 10)); }}},
    };
    return table;
}

int usage()
{
    std::cerr << "usage: quorvane-bench COMMAND ARGUMENTS, COMMAND one of:\n";
    for (const auto& [name, command] : commands()) std::cerr << "  " << command.usage << '\n';
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return usage();
    const auto command = commands().find(argv[1]);
    const Arguments arguments(argv + 2, argv + argc);
    if (command == commands().end() || arguments.size() < command->second.minArguments) return usage();

    const auto before = quorvane::bench::readWriteCounters();
    const int failed = command->second.run(arguments);
    std::cout.flush();
    const auto after = quorvane::bench::readWriteCounters();
    if (!before || !after) {
        std::cerr << "quorvane-bench: /proc/self/io cannot be read\n";
        return 1;
    }
    // Standard output is flushed before the second reading, so its bytes count too; the
    // driver sends it to /dev/null for the writes it measures, where they are few or none.
    std::cerr << "bench-result failed=" << failed
              << " wchar=" << after->bytesPassedToWrite - before->bytesPassedToWrite
              << " write_bytes=" << after->bytesSentToStorage - before->bytesSentToStorage << '\n';
    return 0;
}
