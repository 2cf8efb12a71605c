// SPDX-License-Identifier: Apache-2.0
#include "bench/process_io.h"

#include <fstream>
#include <string>

namespace quorvane::bench {

std::optional<WriteCounters> readWriteCounters()
{
    std::ifstream io("/proc/self/io");
    WriteCounters counters;
    bool haveWchar = false;
    bool haveWriteBytes = false;
    std::string field;
    std::uint64_t value = 0;
    while (io >> field >> value) {
        if (field == "wchar:") counters.bytesPassedToWrite = value, haveWchar = true;
        else if (field == "write_bytes:") counters.bytesSentToStorage = value, haveWriteBytes = true;
    }
    if (!haveWchar || !haveWriteBytes) return std::nullopt;
    return counters;
}

}  // namespace quorvane::bench
