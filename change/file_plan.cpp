// SPDX-License-Identifier: Apache-2.0
#include "change/file_plan.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "change/package_rewrite_refusal.h"
#include "convert/storable_date.h"
#include "document/signature_check.h"
#include "fileinfo/backup.h"
#include "fileinfo/file_snapshot.h"
#include "fileinfo/file_times.h"
#include "fileinfo/snapshot_display.h"
#include "fileinfo/unchangeable_file.h"

namespace quorvane::change {
namespace {

using FileInfoTexts = std::array<std::string, props::kFileInfoLabelCount>;

// What the file is to show once changed: the asked instants and the final attribute word.
fileinfo::FileSnapshot snapshotAfter(const fileinfo::FileSnapshot& before, const fileinfo::FileChangeSettings& settings)
{
    const fileinfo::FileInstants asked = fileinfo::askedInstants(before, settings);
    fileinfo::FileSnapshot after = before;
    after.creationTime = fileinfo::fileTimeOf(asked.creation);
    after.lastWriteTime = fileinfo::fileTimeOf(asked.lastWrite);
    after.lastAccessTime = fileinfo::fileTimeOf(asked.lastAccess);
    after.exactLastWrite = asked.lastWrite;
    after.exactLastAccess = asked.lastAccess;
    after.attributes = fileinfo::ApplyAttributeBoxes(before.attributes, settings.boxes);
    return after;
}

// The file-time and attribute labels the request sets, in label order.
std::vector<int> requestedLabels(const fileinfo::FileChangeSettings& settings)
{
    std::vector<int> labels;
    const auto sets = [](const fileinfo::FileTimeSources& sources) { return sources.date || sources.time; };
    if (sets(settings.creation)) labels.push_back(props::kCreationTimeLabel);
    if (sets(settings.lastWrite)) labels.push_back(props::kModifyTimeLabel);
    if (sets(settings.lastAccess)) labels.push_back(props::kLastAccessTimeLabel);
    const fileinfo::AttributeBoxes& boxes = settings.boxes;
    const std::pair<fileinfo::BoxState, int> attributes[] = {{boxes.readOnly, props::kReadOnlyLabel},
                                                             {boxes.archive, props::kArchiveLabel},
                                                             {boxes.hidden, props::kHiddenLabel},
                                                             {boxes.system, props::kSystemLabel}};
    for (const auto& [state, label] : attributes)
        if (state != fileinfo::BoxState::Grayed) labels.push_back(label);
    return labels;
}

// Why a time the request sets cannot be given to the file: a creation time is kept as a
// FILETIME, and no time outside convert/storable_date.h's bound reads back as the one asked.
Failure timeRefusal(const fileinfo::FileSnapshot& after, const std::vector<int>& labels)
{
    const convert::FileTime times[] = {after.creationTime, after.lastWriteTime, after.lastAccessTime};
    for (const int label : labels) {
        if (label > props::kLastAccessTimeLabel) continue;
        if (Failure refused = convert::storableFileTimeRefusal(times[label], props::fileInfoLabel(label)); refused.failed())
            return refused;
    }
    return {};
}

// Why the attribute bits other than read-only that the request changes cannot be kept: the file
// system takes no extended attributes (fileinfo/attribute_store.h), and the file is on no
// ntfs-3g volume, which keeps its own word.
Failure attributeRefusal(const std::string& path, fileinfo::AttributeWord before, fileinfo::AttributeWord after)
{
    if (((before ^ after) & ~fileinfo::kReadOnly) == 0) return {};
    if (::getxattr(path.c_str(), "system.ntfs_attrib_be", nullptr, 0) >= 0) return {};
    if (::getxattr(path.c_str(), "user.DOSATTRIB", nullptr, 0) >= 0 || errno != ENOTSUP) return {};
    const std::pair<fileinfo::AttributeWord, int> bits[] = {
        {fileinfo::kArchive, props::kArchiveLabel}, {fileinfo::kHidden, props::kHiddenLabel}, {fileinfo::kSystem, props::kSystemLabel}};
    for (const auto& [bit, label] : bits)
        if ((before ^ after) & bit)
            return Failure(FailureKind::Unsupported, std::string(props::fileInfoLabel(label)) +
                                                         " cannot be stored: the file system keeps no extended attributes");
    return {};
}

// Whether the process may do what only a file's owner (or root) may: change its mode, set its
// times, give a new file its owner.
Result<bool> actsAsOwner(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return Failure::fromErrno(errno);
    const uid_t user = ::geteuid();
    return user == 0 || user == info.st_uid;
}

// A read-only file is written by giving its owner the write bit for a moment: only its owner
// (or root) may.
Failure readOnlyRefusal(const std::string& path, const fileinfo::FileSnapshot& snapshot)
{
    if (!(snapshot.attributes & fileinfo::kReadOnly)) return {};
    const auto owner = actsAsOwner(path);
    if (!owner.ok()) return owner.failure();
    return *owner ? Failure() : Failure::fromErrno(EPERM).within("read-only cannot be cleared");
}

// A user who may write a file but does not own it (a group-writable deck in a shared folder)
// cannot give it back what only its owner may set: written in place it keeps the time of the
// write, rewritten (a package) it would become the writer's file.
Failure contentOwnerRefusal(const std::string& path, document::DocumentFormat format, const ChangeOptions& options)
{
    const auto owner = actsAsOwner(path);
    if (!owner.ok()) return owner.failure();
    if (*owner) return {};
    if (format == document::DocumentFormat::Package)
        return Failure(FailureKind::Permission, "its owner cannot be kept: you do not own it");
    return options.allowNewTimes ? Failure() : timesNotKeptRefusal();
}

// Only a file's owner (or root) may give it a last-write or last-access time.
Failure timeSettingRefusal(const std::string& path, const fileinfo::FileSnapshot& before, const fileinfo::FileSnapshot& after)
{
    if (fileinfo::sameInstant(before.exactLastWrite, after.exactLastWrite) &&
        fileinfo::sameInstant(before.exactLastAccess, after.exactLastAccess))
        return {};
    const auto owner = actsAsOwner(path);
    if (!owner.ok()) return owner.failure();
    return *owner ? Failure() : Failure(FailureKind::Permission, "its times cannot be set: you do not own it");
}

// Why a file with something to change cannot take it: the refusals that do not depend on what
// changes, then those of writing its content (`writtenFormat`, when it is written).
Failure writeRefusal(const std::string& path, const fileinfo::FileSnapshot& snapshot,
                     std::optional<document::DocumentFormat> writtenFormat, const ChangeOptions& options,
                     std::uint64_t& otherHardLinks)
{
    if (Failure refused = fileinfo::unchangeableFileRefusal(path); refused.failed()) return refused;
    if (Failure refused = readOnlyRefusal(path, snapshot); refused.failed()) return refused;
    if (!writtenFormat) return {};
    if (Failure refused = contentOwnerRefusal(path, *writtenFormat, options); refused.failed()) return refused;
    if (*writtenFormat != document::DocumentFormat::Package) return {};
    return packageRewriteRefusal(path, options.breakLinks, otherHardLinks);
}

// The plan's content part: the open, the content changes and its refusals; `writtenFormat` the
// file's format when a commit would write its content.
Failure planContent(const std::string& path, const FileRequest& request, const ChangeOptions& options,
                    std::vector<document::ValueChange>& changes, std::optional<document::DocumentFormat>& writtenFormat)
{
    auto edit = document::DocumentEdit::open(path, false, nullptr);
    if (!edit.ok()) return edit.failure();
    auto contentChanges = edit->prepare(request.content);
    if (!contentChanges.ok()) return contentChanges.failure();
    if (edit->changed() && !options.allowSigned && edit->isSigned()) return document::signedDocumentRefusal();
    if (edit->changed()) {
        if (Failure refused = edit->writable(); refused.failed()) return refused;
        writtenFormat = edit->format();
    }
    changes = std::move(contentChanges).value();
    return {};
}

// "" when every requested time and attribute of `path` shows as `after` has it, else which did not
// land.
std::string unlandedValues(const std::string& path, const fileinfo::FileSnapshot& after, const std::vector<int>& labels)
{
    const auto now = fileinfo::readFileSnapshot(path);
    if (!now.ok()) return "its times and attributes cannot be read back: " + now.failure().text();
    // The display texts compare whole seconds, as far as a time can be given.
    const FileInfoTexts wanted = fileinfo::fileInfoTexts(after);
    const FileInfoTexts got = fileinfo::fileInfoTexts(*now);
    std::string problems;
    for (const int label : labels) {
        if (wanted[std::size_t(label)] == got[std::size_t(label)]) continue;
        problems += (problems.empty() ? "" : "; ") + std::string(props::fileInfoLabel(label)) + " is '" +
                    got[std::size_t(label)] + "', not '" + wanted[std::size_t(label)] + "' as asked";
    }
    return problems;
}

// Whether the file holds what `content` asks already: read again, the request changes nothing.
// For a commit that failed after its switch (the old bytes not cleared, the last sync refused).
bool landed(const std::string& path, const document::ContentRequest& content)
{
    auto edit = document::DocumentEdit::open(path, false, nullptr);
    if (!edit.ok()) return false;
    const auto changes = edit->prepare(content);
    return changes.ok() && !edit->changed();
}

}  // namespace

Failure timesNotKeptRefusal()
{
    return Failure(FailureKind::Permission, "its times cannot be kept: you do not own it");
}

FilePlan planFileChange(const std::string& path, const FileRequest& request, const ChangeOptions& options)
{
    FilePlan plan;
    const auto snapshot = fileinfo::readFileSnapshot(path);
    if (!snapshot.ok()) {
        plan.refusal = snapshot.failure();
        return plan;
    }
    const document::ContentRequest& content = request.content;
    std::optional<document::DocumentFormat> writtenFormat;
    const bool readsContent = !content.custom.empty() || content.customFor || content.removeThumbnail || content.clearLastUserName ||
                              std::any_of(content.rows.begin(), content.rows.end(),
                                          [](const props::RowValue& value) { return !value.keeps(); });
    if (readsContent) {
        plan.refusal = planContent(path, request, options, plan.changes, writtenFormat);
        // Reading the file may have moved its last-access time; a plan leaves no trace, or says
        // which one it left.
        plan.readTrace = fileinfo::putLastAccessBack(path, *snapshot);
        if (plan.refused()) return plan;
    }

    const fileinfo::FileSnapshot after = snapshotAfter(*snapshot, request.file);
    const std::vector<int> labels = requestedLabels(request.file);
    if ((plan.refusal = timeRefusal(after, labels)).failed()) return plan;
    if ((plan.refusal = timeSettingRefusal(path, *snapshot, after)).failed()) return plan;
    if ((plan.refusal = attributeRefusal(path, snapshot->attributes, after.attributes)).failed()) return plan;
    const FileInfoTexts from = fileinfo::fileInfoTexts(*snapshot);
    const FileInfoTexts to = fileinfo::fileInfoTexts(after);
    for (int label = 0; label < props::kFileInfoLabelCount; ++label)
        if (from[std::size_t(label)] != to[std::size_t(label)])
            plan.changes.push_back({std::string(props::fileInfoName(label)), std::string(props::fileInfoLabel(label)),
                                    from[std::size_t(label)], to[std::size_t(label)]});
    // A file is written only when something in it changes.
    if (!plan.changes.empty()) plan.refusal = writeRefusal(path, *snapshot, writtenFormat, options, plan.otherHardLinks);
    plan.writesContent = writtenFormat.has_value();
    return plan;
}

FileOutcome applyFileChange(const std::string& path, const FileRequest& request, const ChangeOptions& options)
{
    FileOutcome outcome;
    FilePlan plan = planFileChange(path, request, options);
    outcome.changes = std::move(plan.changes);
    outcome.otherHardLinks = plan.otherHardLinks;
    if (plan.refused()) {
        outcome.kind = FileOutcome::Kind::Failed;
        outcome.failure = plan.refusal;
        return outcome;
    }
    if (outcome.changes.empty()) {
        if (plan.readTrace.failed()) {
            outcome.kind = FileOutcome::Kind::Failed;
            outcome.failure = plan.readTrace;
        }
        return outcome;
    }
    if (const Failure backup = options.backup ? fileinfo::backUpFile(path, {}, options.flushGroup) : Failure(); backup.failed()) {
        outcome.kind = FileOutcome::Kind::Failed;
        outcome.backupFailed = true;
        outcome.failure = Failure(backup.kind(), "no backup could be made as " + fileinfo::backupNameOf(path) + ": " +
                                                     backup.text() + "; the file was not changed");
        return outcome;
    }

    const auto snapshot = fileinfo::readFileSnapshot(path);
    bool committed = false;
    // The content in one commit; the file is closed before anything reads it again.
    const auto commitContent = [&](const FinalMetadata& asked) -> Failure {
        FinalMetadata final = asked;
        final.flushGroup = options.flushGroup;
        auto edit = document::DocumentEdit::open(path, true, &final);
        if (!edit.ok()) return edit.failure();
        auto changes = edit->prepare(request.content);
        if (!changes.ok()) return changes.failure();
        if (!edit->changed()) return {};
        if (!options.allowSigned && edit->isSigned()) return document::signedDocumentRefusal();
        return edit->commit(&final);
    };
    const Failure failure = fileinfo::runFileChange(path, request.file, [&](const FinalMetadata& final) -> Failure {
        // A file that takes only new times or attributes is never opened to be written.
        if (!plan.writesContent) return {};
        const Failure written = commitContent(final);
        committed = !written.failed() || landed(path, request.content);
        if (written.failed() && committed) return written.within("the change is written, but");
        return written;
    });
    outcome.kind = FileOutcome::Kind::Failed;
    if (failure.failed()) {
        outcome.failure = failure;
        outcome.partly = committed;
        return outcome;
    }
    if (snapshot.ok()) {
        const std::string problems = unlandedValues(path, snapshotAfter(*snapshot, request.file), requestedLabels(request.file));
        if (!problems.empty()) {
            outcome.failure = Failure(FailureKind::Unsupported, problems);
            outcome.partly = true;
            return outcome;
        }
    }
    outcome.kind = FileOutcome::Kind::Changed;
    return outcome;
}

}  // namespace quorvane::change
