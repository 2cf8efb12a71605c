// SPDX-License-Identifier: Apache-2.0
#include "tests/support/content_change.h"

#include "props/row_value_text.h"

namespace quorvane::testing {

Result<props::RowValues> rowValuesOfTexts(const RowTextChanges& rows)
{
    props::RowValues values;
    for (const auto& [row, text] : rows) {
        auto value = props::rowValueOfDisplayText(row, text);
        if (!value.ok()) return value.failure();
        values[std::size_t(row)] = std::move(value).value();
    }
    return values;
}

change::FileOutcome changeContent(const std::string& path, const document::ContentRequest& content,
                                  const change::ChangeOptions& options)
{
    change::FileRequest request;
    request.content = content;
    return change::applyFileChange(path, request, options);
}

Failure changeRows(const std::string& path, const RowTextChanges& rows, const change::ChangeOptions& options)
{
    auto values = rowValuesOfTexts(rows);
    if (!values.ok()) return values.failure();
    document::ContentRequest content;
    content.rows = std::move(values).value();
    return changeContent(path, content, options).failure;
}

}  // namespace quorvane::testing
