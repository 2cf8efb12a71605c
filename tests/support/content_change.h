// SPDX-License-Identifier: Apache-2.0
// Changing a test file's document content through the one change path of every front end
// (change::applyFileChange), with no file time or attribute asked: rows given as the display
// shows them, as the window's tables hand them over.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/failure.h"
#include "change/file_plan.h"
#include "document/document_edit.h"
#include "props/row_value.h"

namespace quorvane::testing {

// (row, display text) pairs; every row not named is kept.
using RowTextChanges = std::vector<std::pair<int, std::string>>;

// The typed values the display texts stand for (props::rowValueOfDisplayText); the failure of the
// first text that its row cannot take.
Result<props::RowValues> rowValuesOfTexts(const RowTextChanges& rows);

// Applies `content` to `path` through change::applyFileChange and gives its outcome.
change::FileOutcome changeContent(const std::string& path, const document::ContentRequest& content,
                                  const change::ChangeOptions& options = {});

// Applies the rows `rows` to `path` as changeContent does: Failure{} when the file was changed or
// nothing would change, else the outcome's failure, or the conversion's for a text that its row
// cannot take (nothing then applied).
Failure changeRows(const std::string& path, const RowTextChanges& rows, const change::ChangeOptions& options = {});

}  // namespace quorvane::testing
