// SPDX-License-Identifier: Apache-2.0
#include "base/flush_group.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include "base/folder_of.h"

namespace quorvane {
namespace {

// Whether syncfs on this file system writes and flushes everything that an fsync of each of its
// files would.
bool syncfsFlushesAll(const struct statfs& fileSystem)
{
    switch (static_cast<unsigned long>(fileSystem.f_type)) {
    case EXT4_SUPER_MAGIC:  // also ext2 and ext3
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case F2FS_SUPER_MAGIC:
    case TMPFS_MAGIC:
        return true;
    default:
        return false;
    }
}

int fsyncError(int fd)
{
    return ::fsync(fd) == 0 ? 0 : errno;
}

}  // namespace

bool syncDurably(int fd, FlushGroup* group)
{
    return group ? group->flush(fd) : ::fsync(fd) == 0;
}

FlushGroup::FlushGroup(int running, int roundSize, std::chrono::milliseconds longestWait)
    : runningLimit_(running < 1 ? 1 : running), roundSize_(std::size_t(roundSize < 1 ? 1 : roundSize)), longestWait_(longestWait)
{
}

FlushCounts FlushGroup::counts() const
{
    const std::lock_guard lock(mutex_);
    return counts_;
}

FlushGroup::Member::Member(FlushGroup& group, const std::string& path) : group_(group)
{
    std::unique_lock lock(group_.mutex_);
    group_.watchFileSystemOf(path);
    Sleeper sleeper;
    group_.waitForTurn(lock, sleeper);
}

FlushGroup::Member::~Member()
{
    const std::lock_guard lock(group_.mutex_);
    group_.endTurn();
}

void FlushGroup::watchFileSystemOf(const std::string& path)
{
    struct stat folderStatus {};
    const std::string folder = folderOf(path);
    if (::stat(folder.c_str(), &folderStatus) != 0 || watchedFileSystems_.contains(folderStatus.st_dev)) return;
    UniqueFd watch(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct statfs fileSystem {};
    if (!watch || ::fstatfs(watch.get(), &fileSystem) != 0 || !syncfsFlushesAll(fileSystem)) return;
    watchedFileSystems_.emplace(folderStatus.st_dev, std::move(watch));
}

void FlushGroup::waitForTurn(std::unique_lock<std::mutex>& lock, Sleeper& sleeper)
{
    if (running_ < runningLimit_ && turnQueue_.empty()) {
        ++running_;
        return;
    }
    queueForTurn(sleeper);
    sleeper.wake.wait(lock, [&sleeper] { return sleeper.turnGiven; });
}

void FlushGroup::queueForTurn(Sleeper& sleeper)
{
    sleeper.turnGiven = false;
    turnQueue_.push_back(&sleeper);
}

void FlushGroup::giveFreeTurns()
{
    while (running_ < runningLimit_ && !turnQueue_.empty()) {
        Sleeper* next = turnQueue_.front();
        turnQueue_.pop_front();
        next->turnGiven = true;
        ++running_;
        next->wake.notify_one();
    }
}

void FlushGroup::endTurn()
{
    --running_;
    giveFreeTurns();
    wakeRoundRunnerIfDue();
}

bool FlushGroup::roundDue() const
{
    return !roundRunning_ && !waitingFlushes_.empty() &&
           (nobodyWorks() || waitingFlushes_.size() >= roundSize_ ||
            std::chrono::steady_clock::now() >= waitingFlushes_.front()->deadline);
}

void FlushGroup::wakeRoundRunnerIfDue()
{
    if (roundDue()) waitingFlushes_.front()->sleeper->wake.notify_one();
}

bool FlushGroup::flush(int fd)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0) return false;
    std::unique_lock lock(mutex_);
    if (!watchedFileSystems_.contains(status.st_dev)) {
        lock.unlock();
        return ::fsync(fd) == 0;  // a file system that syncfs may not flush: the member's own fsync
    }
    Sleeper sleeper;
    Flush flush{fd, status.st_dev, &sleeper, std::chrono::steady_clock::now() + longestWait_};
    waitingFlushes_.push_back(&flush);
    --running_;
    giveFreeTurns();
    while (!flush.done) {
        if (roundDue())
            runRound(lock);
        else if (roundRunning_)
            sleeper.wake.wait(lock);  // woken when that round ends, if this flush's round is due then
        else
            sleeper.wake.wait_until(lock, flush.deadline);
    }
    // The round that made this flush done queued its thread for a turn, or gave it one.
    sleeper.wake.wait(lock, [&sleeper] { return sleeper.turnGiven; });
    errno = flush.error;
    return flush.error == 0;
}

void FlushGroup::runRound(std::unique_lock<std::mutex>& lock)
{
    roundRunning_ = true;
    std::vector<Flush*> round;
    round.swap(waitingFlushes_);
    std::map<dev_t, int> watchOf;
    for (const Flush* flush : round) watchOf.emplace(flush->device, watchedFileSystems_.at(flush->device).get());
    lock.unlock();

    FlushCounts added;
    for (const auto& [device, watch] : watchOf) {
        ++added.fileSystemSyncs;
        if (::syncfs(watch) == 0) continue;
        // Some write of this file system failed since it was watched: each file's own fsync
        // says whether it was one of its writes.
        for (Flush* flush : round)
            if (flush->device == device) {
                ++added.fileSyncs;
                flush->error = fsyncError(flush->fd);
            }
    }

    lock.lock();
    // Its members wait for their turn from now on, so that the first of them to work again
    // cannot count as the last one working and start a round for itself alone.
    for (Flush* flush : round) {
        flush->done = true;
        queueForTurn(*flush->sleeper);
    }
    ++counts_.rounds;
    counts_.fileSystemSyncs += added.fileSystemSyncs;
    counts_.fileSyncs += added.fileSyncs;
    roundRunning_ = false;
    giveFreeTurns();
    wakeRoundRunnerIfDue();  // for the flushes asked while this round ran
}

}  // namespace quorvane
