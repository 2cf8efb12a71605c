#include "change/scrub.h"

#include "change/backup_first.h"
#include "document/custom_rows.h"
#include "document/document_format.h"
#include "document/document_rows.h"
#include "document/last_user_name.h"
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
    // One change: the times are put back exactly and the attribute word kept, and an
    // interruption leaves each write old or new.
    return fileinfo::runFileChange(path, fileinfo::FileChangeSettings{}, [&]() -> Failure {
        const auto toEmpty = rowsToEmpty(path, settings.keep);
        if (!toEmpty.ok()) return toEmpty.failure();
        // An empty Total Editing Time or Last Printed removes its property in both formats.
        if (*toEmpty != props::RowSelection{})
            if (const Failure failure = document::writeRows(path, props::RowTexts{}, *toEmpty); failure.failed()) return failure;
        const props::CustomEdit removeAll{props::CustomEdit::Kind::RemoveAll, {}, {}};
        if (const Failure failure = document::writeCustomRows(path, std::span(&removeAll, 1)); failure.failed()) return failure;
        // A .ppt keeps the name of whoever saved it last once more, outside its property sets.
        const bool compound = document::documentFormatOf(path) == document::DocumentFormat::CompoundFile;
        if (compound && !settings.keep[props::kLastSavedByRow])
            if (const Failure failure = document::clearLastUserName(path); failure.failed()) return failure;
        return settings.thumbnail ? document::removeThumbnail(path) : Failure{};
    });
}

}  // namespace quorvane::change
