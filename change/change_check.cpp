#include "change/change_check.h"

#include <vector>

#include "base/error.h"
#include "document/document_rows.h"
#include "document/ppt_rows.h"
#include "fileinfo/file_snapshot.h"
#include "fileinfo/file_times.h"
#include "propset/property_set_access.h"

namespace quorvane::change {
namespace {

// The property writes of every row of a .ppt, tried on its property sets as they are now.
Failure checkPptRows(const std::string& path, const props::RowTexts& rowValues)
{
    std::vector<propset::SetWrites> sets;
    for (int selector = props::kSummaryInformation; selector <= props::kThirdPropertySet; ++selector)
        sets.push_back({props::fmtidOfSelector(selector), {}});
    for (int row = 0; row < props::kRowCount; ++row) {
        document::PptRowWrite rowWrite = document::pptRowWrite(row, rowValues[std::size_t(row)]);
        sets[std::size_t(rowWrite.selector - 1)].writes.push_back(std::move(rowWrite.write));
    }
    try {
        const auto reaches = propset::reachOfWrites(path, sets);
        if (!reaches.ok()) return reaches.failure();
        for (const propset::WritesReach& reach : *reaches)
            if (reach.failure.failed()) return reach.failure;
    } catch (const Error&) {
        // A text that is no date or number: the write itself reports it, as it always has.
    }
    return {};
}

}  // namespace

Failure checkSingleChange(const std::string& path, const props::RowTexts& rowValues)
{
    const auto snapshot = fileinfo::readFileSnapshot(path);
    if (!snapshot.ok()) return snapshot.failure();
    Failure refused;
    if (document::isPackagePath(path)) {
        try {
            if (const auto rows = document::readRows(path); !rows.ok()) refused = rows.failure();
        } catch (const Error& error) {
            refused = Failure(FailureKind::Damaged, error.what());
        }
    } else {
        refused = checkPptRows(path, rowValues);
    }
    fileinfo::putLastAccessBack(path, *snapshot);
    return refused;
}

}  // namespace quorvane::change
