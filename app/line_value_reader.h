// SPDX-License-Identifier: Apache-2.0
// Reads the files of the file list in the background, each once, for the values of its optional
// columns: a bounded pool of worker threads runs the display read (change::ReadFileForDisplay,
// which puts the file's times back) on every line added to the list, and the values are handed
// to their lines on the window's thread as they arrive, a batch at a time. A line is read again
// when asked (after a change of its file). Reads stop while the program writes or reads a file
// itself (Pause), so that no put-back of a read crosses a change.
#pragma once

#include <QHash>
#include <QObject>
#include <QTimer>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/file_line.h"

class QTreeWidget;

namespace quorvane::app {


class LineValueReader : public QObject {
    Q_OBJECT
public:
    explicit LineValueReader(QTreeWidget& list, int workerCount = defaultWorkerCount());
    ~LineValueReader() override;

    // min(4, the machine's cores), at least 2: reads wait on the disk as much as on the processor.
    static int defaultWorkerCount();

    // Reads the file of `line` (again), after any read still waiting.
    void read(FileLine& line);
    // True when no read is waiting, running or undelivered.
    bool idle() const;

    // While one lives, no read runs: it waits for the reads under way to end, and reads start
    // again when the last one ends.
    class Pause {
    public:
        explicit Pause(LineValueReader& reader);
        ~Pause();
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;

    private:
        LineValueReader& reader_;
    };

signals:
    // Values arrived for `lines` (each still in the list).
    void linesFilled(const QList<FileLine*>& lines);

private:
    struct Job {
        std::uint64_t serial;
        std::string path;
    };
    struct Delivery {
        std::uint64_t serial;
        std::unique_ptr<const LineValues> values;
    };

    void work(std::stop_token stop);
    void deliver();
    void forget(int first, int last);
    void forgetAll();

    QTreeWidget& list_;
    QHash<std::uint64_t, FileLine*> lines_;
    std::uint64_t nextSerial_ = 1;
    QTimer deliveryTimer_;

    mutable std::mutex mutex_;
    std::condition_variable_any wake_;
    std::condition_variable settled_;
    std::deque<Job> waiting_;
    std::vector<Delivery> done_;
    int running_ = 0;
    int pauses_ = 0;
    std::vector<std::jthread> workers_;
};

}  // namespace quorvane::app
