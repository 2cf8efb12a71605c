// SPDX-License-Identifier: Apache-2.0
#include "tests/support/document_reads.h"

#include "document/document_edit.h"

namespace quorvane::testing {

Result<props::RowTexts> documentRowsOrFailure(const std::string& path)
{
    auto edit = document::DocumentEdit::open(path, false, nullptr);
    if (!edit.ok()) return edit.failure();
    return edit->rows();
}

std::optional<props::RowTexts> documentRows(const std::string& path)
{
    auto rows = documentRowsOrFailure(path);
    if (!rows.ok()) return std::nullopt;
    return std::move(rows).value();
}

Result<std::vector<props::CustomProperty>> documentCustom(const std::string& path)
{
    auto edit = document::DocumentEdit::open(path, false, nullptr);
    if (!edit.ok()) return edit.failure();
    return edit->customProperties();
}

}  // namespace quorvane::testing
