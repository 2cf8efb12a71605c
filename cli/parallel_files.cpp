// SPDX-License-Identifier: Apache-2.0
#include "cli/parallel_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <thread>
#include <tuple>
#include <utility>

namespace quorvane::cli {

std::vector<std::size_t> firstPlaces(const std::vector<std::string>& paths)
{
    // Each place under its file's identity, sorted by identity and then place: the first of each
    // run of one identity is the first place of all in the run. Names that cannot be looked up
    // are matched by their bytes in a map of their own (few, if any).
    struct Named {
        dev_t device;
        ino_t inode;
        std::size_t place;
    };
    std::vector<Named> byFile;
    std::map<std::string, std::size_t> byName;
    std::vector<std::size_t> first(paths.size());
    for (std::size_t place = 0; place < paths.size(); ++place) {
        struct stat status {};
        if (::stat(paths[place].c_str(), &status) == 0) byFile.push_back({status.st_dev, status.st_ino, place});
        else first[place] = byName.try_emplace(paths[place], place).first->second;
    }
    std::sort(byFile.begin(), byFile.end(), [](const Named& a, const Named& b) {
        return std::tie(a.device, a.inode, a.place) < std::tie(b.device, b.inode, b.place);
    });
    for (std::size_t i = 0; i < byFile.size(); ++i) {
        const bool sameAsBefore = i > 0 && byFile[i].device == byFile[i - 1].device && byFile[i].inode == byFile[i - 1].inode;
        first[byFile[i].place] = sameAsBefore ? first[byFile[i - 1].place] : byFile[i].place;
    }
    return first;
}

namespace {

// Whether two names of one file still name the same file: a change under one of them may have put
// a new file in its place (a package rewritten), leaving the other with the old one. Names that
// cannot be looked up count as the same, as firstPlaces took them.
bool stillSameFile(const std::string& first, const std::string& other)
{
    struct stat a {}, b {};
    if (first == other || ::stat(first.c_str(), &a) != 0 || ::stat(other.c_str(), &b) != 0) return true;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

void forEachFileInOrder(const std::vector<std::string>& paths, int jobs, const std::function<void(std::size_t)>& work,
                        const std::function<void(std::size_t, std::size_t)>& report,
                        const std::function<void(std::size_t)>& release)
{
    const std::vector<std::size_t> first = firstPlaces(paths);
    std::vector<std::size_t> distinct;
    std::vector<std::size_t> lastNaming(paths.size());  // by first place: the last place naming the file
    for (std::size_t place = 0; place < paths.size(); ++place) {
        if (first[place] == place) distinct.push_back(place);
        lastNaming[first[place]] = place;
    }
    const auto reportAndRelease = [&](std::size_t place) {
        const std::size_t firstPlace = first[place];
        if (firstPlace == place || stillSameFile(paths[firstPlace], paths[place])) {
            report(place, firstPlace);
        } else {  // split off by the work under its first name: a file of its own now
            work(place);
            report(place, place);
            if (release) release(place);
        }
        if (release && lastNaming[firstPlace] == place) release(firstPlace);
    };
    if (jobs <= 1 || distinct.size() <= 1) {
        for (std::size_t place = 0; place < paths.size(); ++place) {
            if (first[place] == place) work(place);
            reportAndRelease(place);
        }
        return;
    }
    std::mutex mutex;
    std::condition_variable finished;
    std::vector<char> done(paths.size(), 0);  // guarded by `mutex`
    std::vector<std::exception_ptr> thrown(paths.size());
    std::atomic<std::size_t> next{0};
    const auto worker = [&] {
        for (std::size_t index; (index = next.fetch_add(1)) < distinct.size();) {
            std::exception_ptr exception;
            try {
                work(distinct[index]);
            } catch (...) {
                exception = std::current_exception();
            }
            {
                const std::lock_guard lock(mutex);
                done[distinct[index]] = 1;
                thrown[distinct[index]] = exception;
            }
            finished.notify_all();
        }
    };
    std::vector<std::jthread> threads;
    const std::size_t threadCount = std::min<std::size_t>(std::size_t(jobs), distinct.size());
    for (std::size_t i = 0; i < threadCount; ++i) threads.emplace_back(worker);
    for (std::size_t place = 0; place < paths.size(); ++place) {
        {
            std::unique_lock lock(mutex);
            finished.wait(lock, [&] { return done[first[place]] != 0; });
        }
        // What a file's work threw ends the run at that file's turn, as it does on one thread:
        // no file after it is started any more.
        if (thrown[first[place]]) {
            next.store(distinct.size());
            std::rethrow_exception(thrown[first[place]]);
        }
        try {
            reportAndRelease(place);
        } catch (...) {
            next.store(distinct.size());
            throw;
        }
    }
}

}  // namespace quorvane::cli
