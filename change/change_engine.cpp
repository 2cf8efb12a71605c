// SPDX-License-Identifier: Apache-2.0
#include "change/change_engine.h"

#include <algorithm>

#include "change/file_plan.h"

namespace quorvane::change {

bool ApplySingleChange(const std::string& path, const SingleChangeValues& values)
{
    const auto request = singleChangeRequest(values.rowValues, props::kAllRows, values.datePickers, values.timePickers, values.attributes);
    return request.ok() && !applyFileChange(path, *request, {}).failed();
}

bool ApplyBatchChangeToFile(const std::string& path, const BatchSettings& settings)
{
    const auto request = batchRequest(settings);
    return request.ok() && !applyFileChange(path, *request, {}).failed();
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
