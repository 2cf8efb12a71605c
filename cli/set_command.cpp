#include "cli/set_command.h"

#include <algorithm>

#include "change/backup_first.h"
#include "change/change_engine.h"
#include "change/custom_change.h"
#include "change/file_display.h"
#include "cli/custom_options.h"
#include "cli/dry_run_report.h"
#include "cli/file_run.h"
#include "cli/output_text.h"
#include "cli/set_options.h"
#include "cli/usage.h"
#include "fileinfo/file_snapshot.h"
#include "fileinfo/file_times.h"
#include "fileinfo/snapshot_display.h"
#include "base/error.h"

namespace quorvane::cli {
namespace {

using FileInfoTexts = std::array<std::string, props::kFileInfoLabelCount>;

// The snapshot a batch change of `settings` would leave: each time composed as the change
// composes it, the attribute boxes applied to the word.
fileinfo::FileSnapshot snapshotAfterChange(const fileinfo::FileSnapshot& before, const change::BatchSettings& settings)
{
    fileinfo::FileSnapshot after = before;
    convert::FileTime* const times[] = {&after.creationTime, &after.lastWriteTime, &after.lastAccessTime};
    for (std::size_t index = 0; index < settings.fileTimes.size(); ++index) {
        const change::FileTimeSetting& setting = settings.fileTimes[index];
        if (!setting.applyDate && !setting.applyTime) continue;
        const convert::DateTime composed = fileinfo::ComposeDateTime(
            convert::FileTimeToDateTime(*times[index]), setting.applyDate ? std::optional(setting.datePicker) : std::nullopt,
            setting.applyTime ? std::optional(setting.timePicker) : std::nullopt);
        *times[index] = convert::DateTimeToUtcFileTime(composed);
    }
    after.attributes = fileinfo::ApplyAttributeBoxes(before.attributes, settings.attributes);
    return after;
}

// The labels of the times and attributes that `settings` ask for.
std::vector<int> requestedFileInfoLabels(const change::BatchSettings& settings)
{
    std::vector<int> labels;
    const int timeLabels[] = {props::kCreationTimeLabel, props::kModifyTimeLabel, props::kLastAccessTimeLabel};
    for (std::size_t index = 0; index < settings.fileTimes.size(); ++index)
        if (settings.fileTimes[index].applyDate || settings.fileTimes[index].applyTime) labels.push_back(timeLabels[index]);
    const fileinfo::AttributeBoxes& boxes = settings.attributes;
    const std::pair<fileinfo::BoxState, int> attributes[] = {{boxes.readOnly, props::kReadOnlyLabel},
                                                             {boxes.archive, props::kArchiveLabel},
                                                             {boxes.hidden, props::kHiddenLabel},
                                                             {boxes.system, props::kSystemLabel}};
    for (const auto& [state, label] : attributes)
        if (state != fileinfo::BoxState::Grayed) labels.push_back(label);
    return labels;
}

// "" when every requested time and attribute of `path` shows as the change meant to leave it,
// else which did not land. `before` is the snapshot taken just before the change.
std::string unlandedValues(const std::string& path, const fileinfo::FileSnapshot& before,
                           const change::BatchSettings& settings)
{
    const auto now = fileinfo::readFileSnapshot(path);
    if (!now.ok()) return "its times and attributes cannot be read back: " + now.failure().text();
    // The display texts compare whole seconds, as far as the tool lets a time be given.
    const FileInfoTexts wanted = fileinfo::fileInfoTexts(snapshotAfterChange(before, settings));
    const FileInfoTexts got = fileinfo::fileInfoTexts(*now);
    std::string problems;
    for (const int label : requestedFileInfoLabels(settings)) {
        if (wanted[std::size_t(label)] == got[std::size_t(label)]) continue;
        problems += (problems.empty() ? "" : "; ") + std::string(props::fileInfoLabel(label)) + " is '" +
                    got[std::size_t(label)] + "', not '" + wanted[std::size_t(label)] + "' as asked";
    }
    return problems;
}

// `edits` as they apply to the file at `path`: a value given without a type keeps the type the
// file stores it with (keepingStoredTypes), read as the display reads, the file's times put back.
Result<std::vector<props::CustomEdit>> editsForFile(const std::string& path, const std::vector<props::CustomEdit>& edits,
                                                    const std::vector<props::CustomProperty>* stored = nullptr)
{
    const bool anyUntyped = std::any_of(edits.begin(), edits.end(), [](const props::CustomEdit& edit) {
        return edit.kind == props::CustomEdit::Kind::Set && !edit.value.typeGiven;
    });
    if (!anyUntyped) return edits;
    if (stored) return keepingStoredTypes(edits, *stored);
    const change::FileDisplay display = change::ReadFileForDisplay(path);
    if (display.customFailure.failed()) return display.customFailure;
    if (display.failure.failed()) return display.failure;
    return keepingStoredTypes(edits, display.custom);
}

// "" when the file was changed as asked, else why not.
std::string changeFile(const std::string& path, const change::BatchSettings& settings,
                       const std::vector<props::CustomEdit>& givenEdits)
{
    const auto customEdits = editsForFile(path, givenEdits);
    if (!customEdits.ok()) return customEdits.failure().text();
    if (settings.backup) {
        if (const Failure failure = change::backUpBeforeChange(path); failure.failed()) return failure.text();
    }
    const auto before = fileinfo::readFileSnapshot(path);
    if (!customEdits->empty()) {
        // The custom properties first, in a change that keeps the file's times and attribute
        // word, so that the batch change below finds the file as it was and sets only what it
        // is asked to.
        const Failure failure = change::changeCustomProperties(path, *customEdits, /*backup=*/false);
        if (failure.failed()) return failure.text();
        if (!change::BatchHasWork(settings)) return "";
    }
    try {
        if (const Failure failure = change::changeFileInBatch(path, settings); failure.failed()) return failure.text();
    } catch (const Error& error) {
        return error.what();
    }
    return before.ok() ? unlandedValues(path, *before, settings) : before.failure().text();
}

// Prints what a change of `path` would do, one "  Label: old -> new" line per value that would
// differ, reading the file as the display does (its times put back): the custom properties (the
// edits given, then the batch's removal of them all), the rows, the times and attributes. ""
// when the file could be read, else why not.
std::string reportDryRun(const std::string& path, const change::BatchSettings& settings,
                         const std::vector<props::CustomEdit>& customEdits, std::ostream& out)
{
    std::vector<props::CustomEdit> given = customEdits;
    if (settings.removeAllCustom) given.push_back({props::CustomEdit::Kind::RemoveAll, {}, {}});
    const auto display = readForDryRun(path, !given.empty());
    if (!display.ok()) return display.failure().text();
    const auto edits = editsForFile(path, given, &display->custom);
    if (!edits.ok()) return edits.failure().text();
    DryRunReport report;
    report.addCustomChanges(display->custom, *edits);
    for (int row = 0; row < props::kRowCount; ++row)
        if (settings.rowChecks[std::size_t(row)])
            report.addChange(props::catalogueRow(row).label, (*display->rows)[std::size_t(row)],
                             settings.rowValues[std::size_t(row)]);
    const FileInfoTexts from = fileinfo::fileInfoTexts(*display->snapshot);
    const FileInfoTexts to = fileinfo::fileInfoTexts(snapshotAfterChange(*display->snapshot, settings));
    for (int label = 0; label < props::kFileInfoLabelCount; ++label)
        report.addChange(props::fileInfoLabel(label), from[std::size_t(label)], to[std::size_t(label)]);
    report.print(path, out);
    return "";
}

}  // namespace

int runSet(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    std::string problem;
    const auto request = parseSetArguments(arguments, &problem);
    if (!request) return usageError(err, escapedForLine(problem));
    const auto work = [&request](const std::string& path, std::ostream& report) {
        return request->files.dryRun ? reportDryRun(path, request->settings, request->customEdits, report)
                                     : changeFile(path, request->settings, request->customEdits);
    };
    return runOnFiles(request->files, "changed", work, out, err);
}

}  // namespace quorvane::cli
