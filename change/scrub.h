// Removing personal information from a presentation file: the personal rows emptied (for a .ppt
// with Last Saved By also the last user's name in its Current User stream,
// document/last_user_name.h), every custom property removed and, when asked, the document's
// thumbnail, each write inside the file change sequence (fileinfo/file_change.h) so that the
// file's times, mode and attribute word stay as they were. The creation and last-saved dates and the revision number are no personal rows
// and stay.
#pragma once

#include <string>

#include "base/failure.h"
#include "props/catalogue.h"

namespace quorvane::change {

// The rows a scrub empties unless kept: Title, Subject, Author, Keywords, Comments, Category,
// Last Saved By, Manager, Company, Total Editing Time and Last Printed.
props::RowSelection scrubbedRows();

struct ScrubSettings {
    props::RowSelection keep{};  // rows left as they are (only scrubbed rows count)
    bool thumbnail = false;      // also remove the document's thumbnail
    bool backup = false;         // back the file up first (fileinfo/backup.h)
};

// Scrubs the file at `path`: backup (when asked), rows, custom properties, thumbnail, in that
// order, a row that is empty already not written. Failure{} when every removal was written (or
// nothing was there to remove); else why not (the first failing step's reason), the file then
// as the steps before it left it (each step is one interruption-safe write: old or new, never
// broken).
Failure scrubFile(const std::string& path, const ScrubSettings& settings);

}  // namespace quorvane::change
