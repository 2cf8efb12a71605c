#include "cli/parallel_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

namespace quorvane::cli {

std::vector<std::size_t> firstPlaces(const std::vector<std::string>& paths)
{
    std::map<std::pair<dev_t, ino_t>, std::size_t> byFile;
    std::map<std::string, std::size_t> byName;
    std::vector<std::size_t> first(paths.size());
    for (std::size_t place = 0; place < paths.size(); ++place) {
        struct stat status {};
        if (::stat(paths[place].c_str(), &status) == 0)
            first[place] = byFile.try_emplace({status.st_dev, status.st_ino}, place).first->second;
        else
            first[place] = byName.try_emplace(paths[place], place).first->second;
    }
    return first;
}

void forEachFileInOrder(const std::vector<std::string>& paths, int jobs, const std::function<void(std::size_t)>& work,
                        const std::function<void(std::size_t, std::size_t)>& report)
{
    const std::vector<std::size_t> first = firstPlaces(paths);
    std::vector<std::size_t> distinct;
    for (std::size_t place = 0; place < paths.size(); ++place)
        if (first[place] == place) distinct.push_back(place);
    if (jobs <= 1 || distinct.size() <= 1) {
        for (std::size_t place = 0; place < paths.size(); ++place) {
            if (first[place] == place) work(place);
            report(place, first[place]);
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
        report(place, first[place]);
    }
}

}  // namespace quorvane::cli
