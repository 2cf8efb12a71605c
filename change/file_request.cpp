// SPDX-License-Identifier: Apache-2.0
#include "change/file_request.h"

#include <algorithm>

#include "props/row_value_text.h"

namespace quorvane::change {
namespace {

Result<props::RowValues> rowValuesOf(const props::RowTexts& texts, const props::RowSelection& selected)
{
    props::RowValues values;
    for (int row = 0; row < props::kRowCount; ++row) {
        if (!selected[std::size_t(row)]) continue;
        auto value = props::rowValueOfDisplayText(row, texts[std::size_t(row)]);
        if (!value.ok()) return value.failure().within(props::catalogueRow(row).label);
        values[std::size_t(row)] = std::move(value).value();
    }
    return values;
}

fileinfo::FileTimeSources batchSources(const FileTimeSetting& setting)
{
    fileinfo::FileTimeSources sources;
    if (setting.applyDate) sources.date = setting.datePicker;
    if (setting.applyTime) sources.time = setting.timePicker;
    return sources;
}

}  // namespace

Result<FileRequest> singleChangeRequest(const props::RowTexts& rowTexts, const props::RowSelection& edited,
                                        const std::array<convert::DateTime, 3>& datePickers,
                                        const std::array<convert::DateTime, 3>& timePickers,
                                        const fileinfo::AttributeBoxes& attributes)
{
    auto rows = rowValuesOf(rowTexts, edited);
    if (!rows.ok()) return rows.failure();
    const auto sources = [&](int index) {
        return fileinfo::FileTimeSources{datePickers[std::size_t(index)], timePickers[std::size_t(index)], true};
    };
    FileRequest request;
    request.content.rows = std::move(rows).value();
    request.file = {sources(kCreationTime), sources(kModifyTime), sources(kLastAccessTime), attributes};
    return request;
}

Result<FileRequest> batchRequest(const BatchSettings& settings)
{
    auto rows = rowValuesOf(settings.rowValues, settings.rowChecks);
    if (!rows.ok()) return rows.failure();
    FileRequest request;
    request.content.rows = std::move(rows).value();
    if (settings.removeAllCustom) request.content.custom.push_back({props::CustomEdit::Kind::RemoveAll, {}, {}});
    request.file = {batchSources(settings.fileTimes[kCreationTime]), batchSources(settings.fileTimes[kModifyTime]),
                    batchSources(settings.fileTimes[kLastAccessTime]), settings.attributes};
    return request;
}

props::RowSelection scrubbedRows()
{
    props::RowSelection rows = props::kAllRows;
    rows[props::kRevisionNumberRow] = rows[props::kCreatedRow] = rows[props::kLastSavedRow] = false;
    return rows;
}

FileRequest scrubRequest(const props::RowSelection& keep, bool thumbnail)
{
    FileRequest request;
    const props::RowSelection scrubbed = scrubbedRows();
    for (std::size_t row = 0; row < scrubbed.size(); ++row)
        if (scrubbed[row] && !keep[row]) request.content.rows[row] = props::RowValue::cleared();
    request.content.custom.push_back({props::CustomEdit::Kind::RemoveAll, {}, {}});
    request.content.removeThumbnail = thumbnail;
    request.content.clearLastUserName = !keep[props::kLastSavedByRow];
    return request;
}

bool requestHasWork(const FileRequest& request)
{
    const document::ContentRequest& content = request.content;
    const bool anyRow = std::any_of(content.rows.begin(), content.rows.end(), [](const auto& value) { return !value.keeps(); });
    const fileinfo::FileChangeSettings& file = request.file;
    const auto sets = [](const fileinfo::FileTimeSources& sources) { return sources.date || sources.time; };
    const bool anyTime = sets(file.creation) || sets(file.lastWrite) || sets(file.lastAccess);
    return anyRow || !content.custom.empty() || content.customFor || content.removeThumbnail || content.clearLastUserName || anyTime ||
           file.boxes != fileinfo::AttributeBoxes{};
}

}  // namespace quorvane::change
