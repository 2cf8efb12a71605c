#include "change/custom_change.h"

#include "change/backup_first.h"
#include "document/custom_rows.h"
#include "fileinfo/file_change.h"

namespace quorvane::change {

Failure changeCustomProperties(const std::string& path, std::span<const props::CustomEdit> edits, bool backup)
{
    if (edits.empty()) return {};
    if (backup) {
        if (const Failure failure = backUpBeforeChange(path); failure.failed()) return failure;
    }
    // No time source and every box grayed: the sequence puts each time back exactly and keeps
    // the attribute word, a read-only file staying read-only around the write.
    return fileinfo::runFileChange(path, fileinfo::FileChangeSettings{},
                                   [&] { return document::writeCustomRows(path, edits); });
}

}  // namespace quorvane::change
