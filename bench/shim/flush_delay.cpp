// SPDX-License-Identifier: Apache-2.0
// A preload library that makes every flush to stable storage as slow as on a disk that people keep
// presentations on, and counts them: fsync, fdatasync, syncfs, sync_file_range and sync sleep
// QUORVANE_FLUSH_DELAY_US microseconds (default 2000) before they do their work. At exit the
// process appends its count of those calls, one decimal line, to QUORVANE_FLUSH_COUNT_FILE when
// set. Both sides of a benchmark run under it (LD_PRELOAD), so that their flushes cost the same.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>

namespace {

std::atomic<unsigned long> gFlushes{0};

void delayFlush()
{
    static const long delay = [] {
        const char* text = std::getenv("QUORVANE_FLUSH_DELAY_US");
        return text ? std::atol(text) : 2000L;
    }();
    ++gFlushes;
    if (delay > 0) ::usleep(useconds_t(delay));
}

template <typename Function>
Function next(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

__attribute__((destructor)) void appendCount()
{
    const char* path = std::getenv("QUORVANE_FLUSH_COUNT_FILE");
    if (!path) return;
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    const std::string line = std::to_string(gFlushes.load()) + "\n";
    static_cast<void>(::write(fd, line.data(), line.size()));
    ::close(fd);
}

}  // namespace

extern "C" {

int fsync(int fd)
{
    delayFlush();
    static const auto real = next<int (*)(int)>("fsync");
    return real(fd);
}

int fdatasync(int fd)
{
    delayFlush();
    static const auto real = next<int (*)(int)>("fdatasync");
    return real(fd);
}

int syncfs(int fd)
{
    delayFlush();
    static const auto real = next<int (*)(int)>("syncfs");
    return real(fd);
}

int sync_file_range(int fd, off64_t offset, off64_t length, unsigned int flags)
{
    delayFlush();
    static const auto real = next<int (*)(int, off64_t, off64_t, unsigned int)>("sync_file_range");
    return real(fd, offset, length, flags);
}

void sync()
{
    delayFlush();
    static const auto real = next<void (*)()>("sync");
    real();
}

}
