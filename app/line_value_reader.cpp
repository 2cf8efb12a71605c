// SPDX-License-Identifier: Apache-2.0
#include "app/line_value_reader.h"

#include <QTreeWidget>

#include <algorithm>

#include <sys/resource.h>
#include <unistd.h>

#include "app/file_line.h"

namespace quorvane::app {
namespace {

// How often arrived values are handed to their lines, and how many at most at a time, so that
// the window answers the user between two batches.
constexpr int kDeliveryIntervalMs = 100;
constexpr std::size_t kDeliveryBatch = 4000;
constexpr int kWorkerNiceness = 10;

}  // namespace

LineValueReader::LineValueReader(QTreeWidget& list, int workerCount) : QObject(&list), list_(list)
{
    setObjectName(QStringLiteral("LineValueReader"));
    deliveryTimer_.setInterval(kDeliveryIntervalMs);
    connect(&deliveryTimer_, &QTimer::timeout, this, &LineValueReader::deliver);
    QAbstractItemModel* model = list.model();
    connect(model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex& parent, int first, int last) {
        if (parent.isValid()) return;
        for (int row = first; row <= last; ++row)
            if (auto* line = dynamic_cast<FileLine*>(list_.topLevelItem(row))) read(*line);
    });
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex& parent, int first, int last) {
                if (!parent.isValid()) forget(first, last);
            });
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &LineValueReader::forgetAll);
    for (int worker = 0; worker < workerCount; ++worker)
        workers_.emplace_back([this](std::stop_token stop) { work(stop); });
}

LineValueReader::~LineValueReader()
{
    for (std::jthread& worker : workers_) worker.request_stop();
    workers_.clear();  // joins
}

int LineValueReader::defaultWorkerCount()
{
    return std::clamp(int(std::thread::hardware_concurrency()), 2, 4);
}

void LineValueReader::read(FileLine& line)
{
    if (line.serial == 0) {
        line.serial = nextSerial_++;
        lines_.insert(line.serial, &line);
    }
    {
        const std::lock_guard lock(mutex_);
        waiting_.push_back({line.serial, line.data(kFileNameColumn, FileLine::kPathRole).toByteArray().toStdString()});
    }
    wake_.notify_one();
    if (!deliveryTimer_.isActive()) deliveryTimer_.start();
}

bool LineValueReader::idle() const
{
    const std::lock_guard lock(mutex_);
    return waiting_.empty() && running_ == 0 && done_.empty();
}

void LineValueReader::work(std::stop_token stop)
{
    // Below the window's thread, so that the list answers the user first on a busy machine.
    ::setpriority(PRIO_PROCESS, ::gettid(), kWorkerNiceness);
    std::unique_lock lock(mutex_);
    while (wake_.wait(lock, stop, [this] { return pauses_ == 0 && !waiting_.empty(); })) {
        Job job = std::move(waiting_.front());
        waiting_.pop_front();
        ++running_;
        lock.unlock();
        auto values = std::make_unique<const LineValues>(lineValuesOf(change::ReadFileForDisplay(job.path, false)));
        lock.lock();
        done_.push_back({job.serial, std::move(values)});
        --running_;
        settled_.notify_all();
    }
}

void LineValueReader::deliver()
{
    std::vector<Delivery> arrived;
    {
        const std::lock_guard lock(mutex_);
        const std::size_t count = std::min(done_.size(), kDeliveryBatch);
        std::move(done_.begin(), done_.begin() + std::ptrdiff_t(count), std::back_inserter(arrived));
        done_.erase(done_.begin(), done_.begin() + std::ptrdiff_t(count));
        if (done_.empty() && waiting_.empty() && running_ == 0) deliveryTimer_.stop();
    }
    QList<FileLine*> filled;
    filled.reserve(qsizetype(arrived.size()));
    for (Delivery& delivery : arrived) {
        FileLine* line = lines_.value(delivery.serial);
        if (!line) continue;  // removed meanwhile
        line->setValues(std::move(delivery.values));
        filled.append(line);
    }
    if (!filled.isEmpty()) emit linesFilled(filled);
}

void LineValueReader::forget(int first, int last)
{
    for (int row = first; row <= last; ++row)
        if (auto* line = dynamic_cast<FileLine*>(list_.topLevelItem(row))) lines_.remove(line->serial);
}

void LineValueReader::forgetAll()
{
    lines_.clear();
    const std::lock_guard lock(mutex_);
    waiting_.clear();
}

LineValueReader::Pause::Pause(LineValueReader& reader) : reader_(reader)
{
    std::unique_lock lock(reader_.mutex_);
    ++reader_.pauses_;
    reader_.settled_.wait(lock, [this] { return reader_.running_ == 0; });
}

LineValueReader::Pause::~Pause()
{
    {
        const std::lock_guard lock(reader_.mutex_);
        --reader_.pauses_;
    }
    reader_.wake_.notify_all();
}

}  // namespace quorvane::app
