// SPDX-License-Identifier: Apache-2.0
// A batch whose checked row values are templates (change/value_template.h): one request per
// file, each row's template filled in from that file as it is before the change.
#pragma once

#include <utility>
#include <vector>

#include "base/failure.h"
#include "change/batch_settings.h"
#include "change/file_request.h"
#include "change/value_template.h"

namespace quorvane::change {

class BatchTemplates {
public:
    // The templates of the checked rows of `settings` and the request of the rest of the batch
    // (change/file_request.h batchRequest). The failure of the first template that does not
    // parse, named by its row's label ("Title: unknown field {titel}"), or of the rest.
    static Result<BatchTemplates> of(const BatchSettings& settings);

    // The checked rows and their texts for `file`, in catalogue order.
    std::vector<std::pair<int, std::string>> resolve(const TemplateFile& file) const;

    // The request for `file`: the rest of the batch with each checked row's resolved text as its
    // value. The failure of a text the row cannot take (props::rowValueOfDisplayText), named by
    // the row's label.
    Result<FileRequest> requestFor(const TemplateFile& file) const;

private:
    FileRequest rest_;
    std::vector<std::pair<int, ValueTemplate>> rows_;
};

}  // namespace quorvane::change
