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
    group_.waitForTurn(lock, false);
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

void FlushGroup::waitForTurn(std::unique_lock<std::mutex>& lock, bool counted)
{
    if (!counted) ++waitingForTurn_;
    turnFree_.wait(lock, [this] { return running_ < runningLimit_; });
    --waitingForTurn_;
    ++running_;
}

void FlushGroup::endTurn()
{
    --running_;
    if (waitingForTurn_ > 0) turnFree_.notify_one();
    else if (running_ == 0) flushAsked_.notify_all();  // a round is due
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
    Flush flush{fd, status.st_dev};
    waitingFlushes_.push_back(&flush);
    endTurn();
    const auto deadline = std::chrono::steady_clock::now() + longestWait_;
    while (!flush.done) {
        const bool nobodyWorks = running_ == 0 && waitingForTurn_ == 0;
        if (roundRunning_)
            flushAsked_.wait(lock);  // the next round, when this flush came too late for the running one
        else if (nobodyWorks || waitingFlushes_.size() >= roundSize_ || std::chrono::steady_clock::now() >= deadline)
            runRound(lock);
        else
            flushAsked_.wait_until(lock, deadline);
    }
    waitForTurn(lock, true);
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
    for (Flush* flush : round) flush->done = true;
    // Its members wait for their turn from now on, so that the first of them to work again
    // cannot count as the last one working and start a round for itself alone.
    waitingForTurn_ += int(round.size());
    ++counts_.rounds;
    counts_.fileSystemSyncs += added.fileSystemSyncs;
    counts_.fileSyncs += added.fileSyncs;
    roundRunning_ = false;
    flushAsked_.notify_all();
}

}  // namespace quorvane
