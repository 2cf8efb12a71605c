#include "change/scrub.h"

#include <functional>

#include "change/backup_first.h"
#include "change/custom_change.h"
#include "document/document_rows.h"
#include "document/thumbnail_removal.h"
#include "fileinfo/file_change.h"

namespace quorvane::change {
namespace {

// The scrubbed rows of `path` that are not kept and hold a value now: emptying a row that is
// empty already would only add an empty property.
Result<props::RowSelection> rowsToEmpty(const std::string& path, const props::RowSelection& keep)
{
    const auto rows = document::readRows(path);
    if (!rows.ok()) return rows.failure();
    const props::RowSelection scrubbed = scrubbedRows();
    props::RowSelection toEmpty{};
    for (std::size_t row = 0; row < toEmpty.size(); ++row)
        toEmpty[row] = scrubbed[row] && !keep[row] && !(*rows)[row].empty();
    return toEmpty;
}

}  // namespace

props::RowSelection scrubbedRows()
{
    props::RowSelection rows = props::kAllRows;
    rows[props::kRevisionNumberRow] = rows[props::kCreatedRow] = rows[props::kLastSavedRow] = false;
    return rows;
}

Failure scrubFile(const std::string& path, const ScrubSettings& settings)
{
    if (settings.backup) {
        if (const Failure failure = backUpBeforeChange(path); failure.failed()) return failure;
    }
    // Each write is a file change of its own with no time source and every box grayed, so that
    // the times are put back exactly and the attribute word kept after each: a package rewrite
    // gives the file a new inode, and the change scope of one change covers only the inode it was
    // opened for, so a read-only package could not be rewritten twice inside one change.
    const auto keepingMetadata = [&path](const std::function<Failure()>& write) {
        return fileinfo::runFileChange(path, fileinfo::FileChangeSettings{}, write);
    };
    const Failure rowsFailure = keepingMetadata([&]() -> Failure {
        const auto toEmpty = rowsToEmpty(path, settings.keep);
        if (!toEmpty.ok()) return toEmpty.failure();
        // An empty Total Editing Time or Last Printed removes its property in both formats.
        return *toEmpty == props::RowSelection{} ? Failure{} : document::writeRows(path, props::RowTexts{}, *toEmpty);
    });
    if (rowsFailure.failed()) return rowsFailure;
    const props::CustomEdit removeAll{props::CustomEdit::Kind::RemoveAll, {}, {}};
    if (const Failure failure = changeCustomProperties(path, std::span(&removeAll, 1), /*backup=*/false); failure.failed())
        return failure;
    return settings.thumbnail ? keepingMetadata([&] { return document::removeThumbnail(path); }) : Failure{};
}

}  // namespace quorvane::change
