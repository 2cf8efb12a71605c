// SPDX-License-Identifier: Apache-2.0
// Named temporary files that an ending signal must not leave behind. Where a folder cannot hold
// an unnamed file (O_TMPFILE), a whole-file replacement writes a named one; it is registered here
// for as long as it exists, and the handlers installed at start-up remove every registered name
// with async-signal-safe calls before the signal ends the process. SIGKILL cannot be caught: a
// named file it interrupts stays behind.
#pragma once

#include <signal.h>

#include <string>

namespace quorvane {

// Adds `path` to the names removed on SIGINT, SIGTERM and SIGHUP. Returns the slot to give to
// unregisterTempPath, or -1 when every slot is taken or the path is too long (it is then not
// covered; nothing else changes).
int registerTempPath(const std::string& path);
// Removes a slot from the names removed on a signal; -1 is ignored.
void unregisterTempPath(int slot);

// Installs the handlers of SIGINT, SIGTERM and SIGHUP that unlink every registered name, restore
// the default action and raise the signal again, so that the process still ends as the signal
// asks. A signal whose action is "ignore" (a program started by nohup) keeps it. Call once at
// start-up; false when sigaction refuses.
bool installTempCleanupHandlers();

// A step that makes and registers a name (or renames or removes it and unregisters it) as one:
// SIGINT, SIGTERM and SIGHUP are blocked in the calling thread while it lives, and a handler that
// runs on another thread waits for every such step to end (up to a bound: a step never waits for
// anything the handler may hold, but a handler must not hang) before it removes the registered
// names. Once a handler has begun, `endingBegun()` is true and the step must make no name: the
// process is ending, and a name made after the handler's removal would stay behind.
class CleanupSignalsBlocked {
public:
    CleanupSignalsBlocked();
    ~CleanupSignalsBlocked();
    CleanupSignalsBlocked(const CleanupSignalsBlocked&) = delete;
    CleanupSignalsBlocked& operator=(const CleanupSignalsBlocked&) = delete;

    bool endingBegun() const { return !counted_; }

private:
    sigset_t saved_;  // the thread's mask before
    bool counted_;    // among the steps a handler waits for
};

}  // namespace quorvane
