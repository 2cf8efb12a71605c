#include "change/change_engine.h"

#include <algorithm>

#include "document/custom_rows.h"
#include "fileinfo/file_change.h"
#include "document/document_rows.h"

namespace quorvane::change {
namespace {

// The rows, then (removeAllCustom) every custom property removed, in one file change.
Failure applyFileChange(const std::string& path, const fileinfo::FileChangeSettings& settings,
                        const props::RowTexts& rowValues, const props::RowSelection& selected,
                        bool removeAllCustom = false)
{
    return fileinfo::runFileChange(path, settings, [&] {
        const Failure failure = document::writeRows(path, rowValues, selected);
        if (failure.failed() || !removeAllCustom) return failure;
        const props::CustomEdit removeAll{props::CustomEdit::Kind::RemoveAll, {}, {}};
        return document::writeCustomRows(path, std::span(&removeAll, 1));
    });
}

fileinfo::FileTimeSources batchSources(const FileTimeSetting& setting)
{
    fileinfo::FileTimeSources sources;
    if (setting.applyDate) sources.date = setting.datePicker;
    if (setting.applyTime) sources.time = setting.timePicker;
    return sources;
}

}  // namespace

Failure changeSingleFile(const std::string& path, const SingleChangeValues& values)
{
    const auto sources = [&values](int index) {
        return fileinfo::FileTimeSources{values.datePickers[std::size_t(index)], values.timePickers[std::size_t(index)],
                                         true};
    };
    const fileinfo::FileChangeSettings settings{sources(kCreationTime), sources(kModifyTime),
                                                sources(kLastAccessTime), values.attributes};
    return applyFileChange(path, settings, values.rowValues, props::kAllRows);
}

Failure changeFileInBatch(const std::string& path, const BatchSettings& batch)
{
    const fileinfo::FileChangeSettings settings{batchSources(batch.fileTimes[kCreationTime]),
                                                batchSources(batch.fileTimes[kModifyTime]),
                                                batchSources(batch.fileTimes[kLastAccessTime]), batch.attributes};
    return applyFileChange(path, settings, batch.rowValues, batch.rowChecks, batch.removeAllCustom);
}

bool ApplySingleChange(const std::string& path, const SingleChangeValues& values)
{
    return !changeSingleFile(path, values).failed();
}

bool ApplyBatchChangeToFile(const std::string& path, const BatchSettings& settings)
{
    return !changeFileInBatch(path, settings).failed();
}

bool BatchHasWork(const BatchSettings& settings)
{
    const bool anyApplyBox = std::any_of(settings.fileTimes.begin(), settings.fileTimes.end(),
                                         [](const FileTimeSetting& time) { return time.applyDate || time.applyTime; });
    const fileinfo::AttributeBoxes& boxes = settings.attributes;
    const bool anyAttribute = boxes != fileinfo::AttributeBoxes{};
    const bool anyRow = std::find(settings.rowChecks.begin(), settings.rowChecks.end(), true) != settings.rowChecks.end();
    return anyApplyBox || anyAttribute || anyRow || settings.removeAllCustom;
}

}  // namespace quorvane::change
