// SPDX-License-Identifier: Apache-2.0
#include "change/file_display.h"

#include <sys/stat.h>

#include "fileinfo/file_times.h"
#include "document/document_edit.h"
#include "document/encryption_check.h"

namespace quorvane::change {

std::optional<FileStamp> fileStampOf(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileStamp{std::uint64_t(info.st_dev), std::uint64_t(info.st_ino), std::int64_t(info.st_size),
                     std::int64_t(info.st_mtim.tv_sec), std::int64_t(info.st_mtim.tv_nsec)};
}

namespace {

// The rows and (`withCustom`) custom properties of `path`, read with one open that is closed
// again before a moved access time is put back. Gives the failure of an encrypted document, whose rows and
// custom properties are those it keeps in the clear; Failure{} otherwise.
Failure readContent(const std::string& path, bool withCustom, FileDisplay& display)
{
    auto edit = document::DocumentEdit::open(path, false, nullptr);
    Result<props::RowTexts> rows = edit.ok() ? edit->rows() : Result<props::RowTexts>(edit.failure());
    if (edit.ok()) display.format = edit->format();
    if (rows.ok()) display.rows = std::move(rows).value();
    else display.rowsFailure = rows.failure();
    // A compound document shows "" where nothing can be read, as its per-property reads do.
    if (!rows.ok() && document::documentFormatOf(path) == document::DocumentFormat::CompoundFile)
        display.rows = props::RowTexts{};
    if (withCustom && rows.ok()) {
        auto custom = edit->customProperties();
        if (custom.ok()) display.custom = std::move(custom).value();
        else display.customFailure = custom.failure().within("custom properties");
    }
    if (!edit.ok() || !edit->isEncrypted()) return {};
    display.rowsFailure = document::encryptedDocumentRefusal();
    return display.rowsFailure;
}

}  // namespace

FileDisplay ReadFileForDisplay(const std::string& path, bool withCustom)
{
    FileDisplay display;
    // Before the read: a file that changes while it is read gets a stamp that no longer matches.
    display.stamp = fileStampOf(path);
    auto snapshot = fileinfo::readFileSnapshot(path);
    if (!snapshot.ok()) {
        display.snapshotFailure = snapshot.failure();
        const FailureKind kind = snapshot.failure().kind();
        if (kind == FailureKind::NotFound || kind == FailureKind::NotRegularFile) {
            display.failure = snapshot.failure();
            return display;
        }
    } else {
        display.snapshot = std::move(snapshot).value();
    }
    const Failure encrypted = readContent(path, withCustom, display);
    // The read wrote nothing and reads with O_NOATIME where it may; a last-access time it moved
    // all the same is put back where the reader may set it. Not looked at: a time that only the
    // owner may set makes no value shown less the file's. Without a snapshot nothing is set from
    // values that were never read.
    if (display.snapshot) fileinfo::putLastAccessBack(path, *display.snapshot);
    // A compound document that cannot be read shows "", but one held by another program is no
    // empty document.
    display.succeeded = display.rows.has_value() && !encrypted.failed() &&
                        display.rowsFailure.kind() != FailureKind::Locked;
    if (!display.succeeded) display.failure = display.rowsFailure;
    return display;
}

const Failure& FileDisplay::firstFailure() const
{
    for (const Failure* reason : {&failure, &rowsFailure, &snapshotFailure, &customFailure})
        if (reason->failed()) return *reason;
    return failure;
}

FileStatus statusAfterDisplay(FileStatus previous, bool succeeded)
{
    if (!succeeded) return kUnreadable;
    return previous == kUnreadable ? kUnchanged : previous;
}

}  // namespace quorvane::change
