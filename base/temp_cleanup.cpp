// SPDX-License-Identifier: Apache-2.0
#include "base/temp_cleanup.h"

#include <cerrno>
#include <limits.h>
#include <time.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstring>

namespace quorvane {
namespace {

// Each file in flight holds at most a rewrite's and a backup's temporary name at once, and a batch
// has at most 128 files in flight (cli/file_run.cpp); an export holds one. Untouched slots cost
// no memory.
constexpr int kSlotCount = 512;
constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

enum SlotState : int { kFree = 0, kFilling = 1, kLive = 2 };

// Plain arrays written before their slot turns kLive (release) and read by the handler only
// after it sees kLive (acquire), so the handler never reads a path half copied.
std::array<std::atomic<int>, kSlotCount> slotStates{};
char slotPaths[kSlotCount][PATH_MAX];

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs lock-free slot states");

// Set by the first handler; read by each naming step after it counted itself in `stepsUnderway`.
// Both sequentially consistent: either the step sees the flag and makes no name, or the handler
// sees the step and waits for it.
std::atomic<bool> handlerBegun{false};
std::atomic<int> stepsUnderway{0};

// How long a handler waits for the naming steps of other threads: each is a few system calls.
constexpr int kLongestStepWaitMs = 2000;

void removeRegisteredAndReraise(int signalNumber)
{
    const int savedErrno = errno;
    handlerBegun.store(true);
    const timespec millisecond{0, 1000000};
    for (int waited = 0; stepsUnderway.load() > 0 && waited < kLongestStepWaitMs; ++waited) ::nanosleep(&millisecond, nullptr);
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (slotStates[std::size_t(slot)].load(std::memory_order_acquire) == kLive) ::unlink(slotPaths[slot]);
    errno = savedErrno;
    // SA_RESETHAND gave the signal its default action back; raised here it stays pending until
    // the handler returns, and then ends the process as the sender asked.
    ::raise(signalNumber);
}

}  // namespace

int registerTempPath(const std::string& path)
{
    if (path.size() >= PATH_MAX) return -1;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        int expected = kFree;
        if (!slotStates[std::size_t(slot)].compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(slotPaths[slot], path.c_str(), path.size() + 1);
        slotStates[std::size_t(slot)].store(kLive, std::memory_order_release);
        return slot;
    }
    return -1;
}

void unregisterTempPath(int slot)
{
    if (slot < 0 || slot >= kSlotCount) return;
    slotStates[std::size_t(slot)].store(kFree, std::memory_order_release);
}

bool installTempCleanupHandlers()
{
    for (const int signalNumber : kCleanupSignals) {
        struct sigaction previous {};
        if (::sigaction(signalNumber, nullptr, &previous) != 0) return false;
        if (previous.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = removeRegisteredAndReraise;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        for (const int other : kCleanupSignals) sigaddset(&action.sa_mask, other);
        if (::sigaction(signalNumber, &action, nullptr) != 0) return false;
    }
    return true;
}

CleanupSignalsBlocked::CleanupSignalsBlocked()
{
    sigset_t blocked;
    sigemptyset(&blocked);
    for (const int signalNumber : kCleanupSignals) sigaddset(&blocked, signalNumber);
    ::pthread_sigmask(SIG_BLOCK, &blocked, &saved_);
    stepsUnderway.fetch_add(1);
    counted_ = !handlerBegun.load();
    if (!counted_) stepsUnderway.fetch_sub(1);
}

CleanupSignalsBlocked::~CleanupSignalsBlocked()
{
    if (counted_) stepsUnderway.fetch_sub(1);
    ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}

}  // namespace quorvane
