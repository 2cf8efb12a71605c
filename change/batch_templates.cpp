// SPDX-License-Identifier: Apache-2.0
#include "change/batch_templates.h"

#include "props/row_value_text.h"

namespace quorvane::change {

Result<BatchTemplates> BatchTemplates::of(const BatchSettings& settings)
{
    BatchTemplates templates;
    BatchSettings rest = settings;
    for (int row = 0; row < props::kRowCount; ++row) {
        if (!settings.rowChecks[std::size_t(row)]) continue;
        rest.rowChecks[std::size_t(row)] = false;
        auto parsed = ValueTemplate::parse(settings.rowValues[std::size_t(row)]);
        if (!parsed.ok()) return parsed.failure().within(props::catalogueRow(row).label);
        templates.rows_.emplace_back(row, std::move(parsed).value());
    }
    auto request = batchRequest(rest);
    if (!request.ok()) return request.failure();
    templates.rest_ = std::move(request).value();
    return templates;
}

std::vector<std::pair<int, std::string>> BatchTemplates::resolve(const TemplateFile& file) const
{
    std::vector<std::pair<int, std::string>> texts;
    for (const auto& [row, rowTemplate] : rows_) texts.emplace_back(row, rowTemplate.resolve(file));
    return texts;
}

Result<FileRequest> BatchTemplates::requestFor(const TemplateFile& file) const
{
    FileRequest request = rest_;
    for (const auto& [row, text] : resolve(file)) {
        auto value = props::rowValueOfDisplayText(row, text);
        if (!value.ok()) return value.failure().within(props::catalogueRow(row).label);
        request.content.rows[std::size_t(row)] = std::move(value).value();
    }
    return request;
}

}  // namespace quorvane::change
