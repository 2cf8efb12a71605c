// SPDX-License-Identifier: Apache-2.0
// What a change asks of one file, whichever front end asked: the typed values of the 14 rows,
// custom-property edits, the thumbnail and last user's name a scrub removes, and the file's
// times and attributes. The window's Single Change and Batch Change, `set` and `scrub` of the
// command line and the window's "Remove personal information" all build one of these; the plan
// and the apply (file_plan.h) are the same for all of them.
#pragma once

#include <string_view>

#include "base/failure.h"
#include "change/batch_settings.h"
#include "document/document_edit.h"
#include "fileinfo/file_change.h"
#include "props/catalogue.h"

namespace quorvane::change {

struct FileRequest {
    document::ContentRequest content;
    fileinfo::FileChangeSettings file;  // no source and every box grayed: times and word kept
};

// What the change may do beyond the request.
struct ChangeOptions {
    bool allowSigned = false;  // change a digitally signed file (its signature is invalidated)
    bool backup = false;       // copy the file aside first (fileinfo/backup.h), once the plan allows the change
    // change in place a file whose times cannot be kept (a user who may write it but does not own
    // it): it takes the time of the write as its modification time
    bool allowNewTimes = false;
    // rewrite a package that has several hard links: its name gets the new file, and its other
    // names keep the old one
    bool breakLinks = false;
    // The flush group whose rounds make the change durable (base/flush_group.h; the calling thread
    // is its member); null: each flush is the file's own fsync.
    FlushGroup* flushGroup = nullptr;
};

// The request of the window's Single Change: the value of each row of `edited` from its display
// text (a row the user did not edit is kept as the file holds it, so that reading a value and
// writing it back never alters it), the three times from the shown pickers, the attribute boxes.
// The failure of the first row text that its row cannot take (props::rowValueOfDisplayText),
// named by the row's label.
Result<FileRequest> singleChangeRequest(const props::RowTexts& rowTexts, const props::RowSelection& edited,
                                        const std::array<convert::DateTime, 3>& datePickers,
                                        const std::array<convert::DateTime, 3>& timePickers,
                                        const fileinfo::AttributeBoxes& attributes);

// The request of a batch: the checked rows from their display texts, each time composed from the
// checked apply boxes, the attribute boxes, and with removeAllCustom every custom property
// removed. Failures as singleChangeRequest.
Result<FileRequest> batchRequest(const BatchSettings& settings);

// The request of a scrub: the scrubbed rows not kept cleared (props::RowValue::Clear), every custom
// property removed, the last user's name cleared unless Last Saved By is kept, and with
// `thumbnail` the thumbnail removed.
FileRequest scrubRequest(const props::RowSelection& keep, bool thumbnail);

// The rows a scrub empties unless kept: Title, Subject, Author, Keywords, Comments, Category,
// Last Saved By, Manager, Company, Total Editing Time and Last Printed.
props::RowSelection scrubbedRows();

// Whether a request asks anything at all.
bool requestHasWork(const FileRequest& request);

}  // namespace quorvane::change
