// SPDX-License-Identifier: Apache-2.0
#include "package/package_writer.h"

#include "package/package_edit.h"
#include "props/row_value_text.h"

namespace quorvane::package {

Failure writePackageRows(const std::string& path, const props::RowTexts& texts, const props::RowSelection& selected,
                         const TargetWrapper& wrapTarget)
{
    props::RowValues values;
    for (int row = 0; row < props::kRowCount; ++row) {
        if (!selected[std::size_t(row)]) continue;
        auto value = props::rowValueOfDisplayText(row, texts[std::size_t(row)]);
        // A text that is no date leaves Created and Last saved as they are and removes Last Printed.
        if (!value.ok() && props::isDateTimeRow(row)) value = row == props::kLastPrintedRow ? props::RowValue::cleared() : props::RowValue{};
        if (!value.ok()) return value.failure();
        values[std::size_t(row)] = std::move(value).value();
    }
    auto edit = PackageEdit::open(path, true, nullptr);
    if (!edit.ok()) return edit.failure();
    if (Failure refused = edit->setRows(values); refused.failed()) return refused;
    return edit->commit(nullptr, wrapTarget);
}

bool WritePackageProperties(const std::string& path, const props::RowTexts& texts, const props::RowSelection& selected,
                            const TargetWrapper& wrapTarget)
{
    return !writePackageRows(path, texts, selected, wrapTarget).failed();
}

}  // namespace quorvane::package
