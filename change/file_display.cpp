#include "change/file_display.h"

#include "fileinfo/file_times.h"
#include "document/document_rows.h"
#include "base/error.h"

namespace quorvane::change {

FileDisplay ReadFileForDisplay(const std::string& path)
{
    FileDisplay display;
    if (!fileinfo::FileEntryExists(path)) {
        display.failure = Failure(FailureKind::NotFound, "no such file");
        return display;
    }
    display.snapshot = fileinfo::ReadFileAttributeData(path);
    try {
        Result<props::RowTexts> rows = document::readRows(path);
        if (rows.ok()) display.rows = std::move(rows).value();
        else display.failure = rows.failure();
    } catch (const Error& error) {
        // A part that is not well-formed XML: the package is unreadable, like any other damage.
        display.rows.reset();
        display.failure = Failure(FailureKind::Damaged, error.what());
    }
    // Without a snapshot nothing was read that could be put back, and nothing is set from
    // values that were never read.
    const bool restored = !display.snapshot || fileinfo::RestoreFileTimesAfterRead(path, *display.snapshot);
    if (!restored && !display.failure.failed())
        display.failure = Failure(FailureKind::Io, "its times and attributes could not be put back");
    display.succeeded = display.rows.has_value() && restored;
    return display;
}

FileStatus statusAfterDisplay(FileStatus previous, bool succeeded)
{
    if (!succeeded) return kUnreadable;
    return previous == kUnreadable ? kUnchanged : previous;
}

}  // namespace quorvane::change
