// SPDX-License-Identifier: Apache-2.0
// The write counters of this process, from /proc/self/io: what a benchmarked operation sent to
// the kernel (every write and pwrite, cached or not) and what the kernel sent on to storage
// for it. The difference of two readings is the cost of what ran between them.
#pragma once

#include <cstdint>
#include <optional>

namespace quorvane::bench {

struct WriteCounters {
    std::uint64_t bytesPassedToWrite = 0;  // "wchar"
    std::uint64_t bytesSentToStorage = 0;  // "write_bytes"; 0 on file systems that do not count
};

// The counters now; nullopt when /proc/self/io cannot be read or lacks a field.
std::optional<WriteCounters> readWriteCounters();

}  // namespace quorvane::bench
