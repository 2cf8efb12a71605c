// SPDX-License-Identifier: Apache-2.0
// Group commit of many files' writes. Each file's change keeps its own order of writes and
// flushes (what must be on disk before its switch, then the switch); a flush group lets the
// changes of many files, each on its own thread, share their flushes: a thread that asks for a
// flush waits until every running member of its group waits too (or enough of them wait, or the
// oldest wait passes a bound), then one syncfs per file system makes all their writes durable at
// once, and each goes on as if its own fsync had returned. So a batch pays a flush round per step
// of a file's change, not a flush per step per file, and no file's order of writes changes.
//
// syncfs is used only where it is known to flush what fsync would (ext2/3/4, XFS, Btrfs, F2FS,
// tmpfs); on any other file system (FUSE, network shares, ...) a member's flush is its own
// fsync, as outside a group. A failed syncfs (a write-back error anywhere on that file system
// since the group first saw it) falls back to an fsync of each waiting file, so that the error
// reaches the file it belongs to and no other.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <vector>

#include "base/unique_fd.h"

namespace quorvane {

class FlushGroup;

// Makes what was written through `fd` durable and returns true when it is; false with errno set
// when not: a round of `group` when given (its member's thread only), else fsync(fd).
bool syncDurably(int fd, FlushGroup* group);

struct FlushCounts {
    std::uint64_t rounds = 0;           // flush rounds run
    std::uint64_t fileSystemSyncs = 0;  // syncfs calls of the rounds
    std::uint64_t fileSyncs = 0;        // fsync calls of the rounds (after a failed syncfs)
};

class FlushGroup {
public:
    // At most `running` members work at once between two of their flushes (the others wait for
    // their turn or for a round). A round is run when no member is working, when `roundSize`
    // flushes wait (so that the members that are not in it work on while it writes), or when a
    // flush has waited `longestWait`.
    FlushGroup(int running, int roundSize, std::chrono::milliseconds longestWait);
    FlushGroup(const FlushGroup&) = delete;
    FlushGroup& operator=(const FlushGroup&) = delete;

    FlushCounts counts() const;

    // Makes what was written through `fd` durable, as fsync(fd) does, and returns true when it is;
    // false with errno set when not: the group's next round, or the file's own fsync on a file
    // system that syncfs may not flush. Called only by a thread while it is a Member.
    bool flush(int fd);

    // A turn of the calling thread in `group` while it lives, for the change of one file: the
    // files the change writes share their flushes through `group` (PosixFile::shareFlushesWith,
    // FinalMetadata::flushGroup). `path` is the file the member is about to change: its file
    // system is watched for write-back errors from here on. Waits for a turn to work.
    class Member {
    public:
        Member(FlushGroup& group, const std::string& path);
        ~Member();
        Member(const Member&) = delete;
        Member& operator=(const Member&) = delete;

    private:
        FlushGroup& group_;
    };

private:
    // A thread that sleeps until it is woken by name: given a turn, its flush done, or a round
    // due that it is to run. Waking each by name, never all at once, keeps a batch of many files
    // in flight from paying a wake-up of every waiting thread per round.
    struct Sleeper {
        std::condition_variable wake;
        bool turnGiven = false;
    };
    struct Flush {
        int fd;
        dev_t device;
        Sleeper* sleeper;
        std::chrono::steady_clock::time_point deadline;  // a round runs by then at the latest
        int error = 0;
        bool done = false;
    };

    void watchFileSystemOf(const std::string& path);
    // Waits until the caller has a turn: at once when fewer than runningLimit_ members work and
    // nobody waits before it, else when endTurn or a round gives it one, first come first served.
    void waitForTurn(std::unique_lock<std::mutex>& lock, Sleeper& sleeper);
    void queueForTurn(Sleeper& sleeper);
    void giveFreeTurns();
    void endTurn();
    bool nobodyWorks() const { return running_ == 0 && turnQueue_.empty(); }
    bool roundDue() const;
    // Wakes the oldest waiting flush to run a round when one is due.
    void wakeRoundRunnerIfDue();
    void runRound(std::unique_lock<std::mutex>& lock);

    const int runningLimit_;
    const std::size_t roundSize_;
    const std::chrono::milliseconds longestWait_;
    mutable std::mutex mutex_;
    int running_ = 0;                  // members working
    std::deque<Sleeper*> turnQueue_;   // members waiting to work, oldest first
    bool roundRunning_ = false;
    std::vector<Flush*> waitingFlushes_;  // oldest first
    // An open folder per file system that syncfs can flush, opened when its first member joined, so
    // that syncfs reports every write-back error of the members' files since then.
    std::map<dev_t, UniqueFd> watchedFileSystems_;
    FlushCounts counts_;
};

}  // namespace quorvane
