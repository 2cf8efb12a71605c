// SPDX-License-Identifier: Apache-2.0
#include "document/ppt_edit.h"

#include <algorithm>
#include <cerrno>

#include "cfb/cfb_stream_write.h"
#include "document/encryption_check.h"
#include "document/last_user_name.h"
#include "document/ppt_rows.h"
#include "document/signature_check.h"
#include "propset/custom_properties.h"
#include "propset/propset_reader.h"
#include "propset/propset_stream_name.h"
#include "propset/thumbnail_property.h"

namespace quorvane::document {
namespace {

// Whether a SummaryInformation stream holds a thumbnail; the failure of a damaged set.
Result<bool> holdsThumbnail(const std::optional<std::vector<std::byte>>& summary)
{
    const auto content = propset::propertySetContent(summary);
    if (!content.ok()) return content.failure();
    return *content && propset::holdsThumbnail(**content);
}

// The 14 rows that the two sets' streams hold (nullopt: absent); the failure of a damaged set.
Result<props::RowTexts> rowTextsOf(const std::optional<std::vector<std::byte>>& summary,
                                   const std::optional<std::vector<std::byte>>& documentSummary)
{
    const auto summaryContent = propset::propertySetContent(summary);
    if (!summaryContent.ok()) return summaryContent.failure();
    const auto documentSummaryContent = propset::propertySetContent(documentSummary);
    if (!documentSummaryContent.ok()) return documentSummaryContent.failure();
    return pptRowTexts(*summaryContent, *documentSummaryContent);
}

// The stream a write of set properties starts from: a set without any section holds nothing, and
// a new set takes its place; a damaged one is refused, so that nothing of it is lost.
Result<std::optional<std::vector<std::byte>>> writableSet(const std::optional<std::vector<std::byte>>& stream)
{
    if (!stream) return stream;
    const auto layout = propset::parseSoundPropertySet(*stream);
    if (!layout.ok()) return layout.failure();
    if (layout->sections.empty()) return std::optional<std::vector<std::byte>>();
    return stream;
}

// The storage of a file saved for PowerPoint 95 and 97 that holds the PowerPoint 97 rendition.
constexpr std::u16string_view kDualStorageName = u"PP97_DUALSTORAGE";
constexpr std::string_view kSecondCopy = "the second copy of the properties in PP97_DUALSTORAGE";

// A change of the second copy as the plan lists it.
ValueChange inSecondCopy(ValueChange change)
{
    change.name = "dual:" + change.name;
    change.label += " (second copy in PP97_DUALSTORAGE)";
    return change;
}

}  // namespace

Result<PptEdit> PptEdit::ofFile(EditedFile opened)
{
    auto file = std::make_unique<PosixFile>(std::move(opened.file));
    auto compoundFile = cfb::CompoundFile::open(*file);
    if (!compoundFile.ok()) return compoundFile.failure();
    // A stream past a broken link of the tree would read as absent, its values as none.
    if (Failure broken = compoundFile->directory().checkTreeLinks(); broken.failed()) return broken;
    PptEdit edit(std::move(file), std::move(compoundFile).value());
    edit.encrypted_ = compoundFileIsEncrypted(*edit.compoundFile_);
    edit.dualStorage_ = edit.compoundFile_->findStorage(cfb::kRootEntryId, kDualStorageName);
    return edit;
}

Result<PptEdit::Stream*> PptEdit::stream(std::uint32_t storageId, const std::u16string& name, std::uint64_t maxBytes)
{
    const auto key = std::make_pair(storageId, name);
    if (const auto found = streams_.find(key); found != streams_.end()) return &found->second;
    Stream loaded;
    loaded.entryId = compoundFile_->findStream(storageId, name);
    if (loaded.entryId) {
        auto bytes = compoundFile_->readStream(*loaded.entryId, maxBytes);
        if (!bytes.ok()) return bytes.failure();
        loaded.original = std::move(bytes).value();
        loaded.current = loaded.original;
    }
    return &streams_.emplace(key, std::move(loaded)).first->second;
}

Result<PptEdit::Stream*> PptEdit::propertySet(int selector)
{
    return stream(cfb::kRootEntryId, propset::propertySetStreamName(props::fmtidOfSelector(selector)),
                  propset::kMaxPropertySetStreamBytes);
}

Result<PptEdit::Stream*> PptEdit::secondCopy(int selector)
{
    if (!dualStorage_) return nullptr;
    auto copy = stream(*dualStorage_, propset::propertySetStreamName(props::fmtidOfSelector(selector)),
                       propset::kMaxPropertySetStreamBytes);
    if (!copy.ok()) return copy.failure().within(kSecondCopy);
    return (*copy)->entryId ? *copy : nullptr;
}

Result<PptEdit::Stream*> PptEdit::currentUser(std::uint32_t storageId)
{
    if (const auto entryId = compoundFile_->findStream(storageId, kCurrentUserStreamName);
        !entryId || compoundFile_->directory().entry(*entryId).streamSize > kMaxCurrentUserStreamBytes)
        return nullptr;
    return stream(storageId, std::u16string(kCurrentUserStreamName), kMaxCurrentUserStreamBytes);
}

Failure PptEdit::editSet(int selector, const SetEdit& edit)
{
    auto set = propertySet(selector);
    if (!set.ok()) return set.failure();
    auto copy = secondCopy(selector);
    if (!copy.ok()) return copy.failure();
    auto edited = edit((*set)->current);
    if (!edited.ok()) return edited.failure();
    std::optional<std::vector<std::byte>> copyEdited;
    if (*copy) {
        auto result = edit((*copy)->current);
        if (!result.ok()) return result.failure().within(kSecondCopy);
        copyEdited = std::move(result).value();
    }
    if (*edited) (*set)->current = std::move(*edited);
    if (copyEdited) (*copy)->current = std::move(*copyEdited);
    return {};
}

Failure PptEdit::writeSet(int selector, std::span<const propset::PropertyWrite> writes)
{
    const props::Fmtid fmtid = props::fmtidOfSelector(selector);
    return editSet(selector, [&](const std::optional<std::vector<std::byte>>& current)
                                 -> Result<std::optional<std::vector<std::byte>>> {
        auto start = writableSet(current);
        if (!start.ok()) return start.failure();
        return propset::streamWithWrites(std::move(start).value(), fmtid, writes);
    });
}

Result<props::RowTexts> PptEdit::rows()
{
    auto summary = propertySet(props::kSummaryInformation);
    if (!summary.ok()) return summary.failure();
    auto documentSummary = propertySet(props::kDocumentSummaryInformation);
    if (!documentSummary.ok()) return documentSummary.failure();
    return rowTextsOf((*summary)->current, (*documentSummary)->current);
}

Result<std::vector<props::CustomProperty>> PptEdit::customProperties()
{
    auto documentSummary = propertySet(props::kDocumentSummaryInformation);
    if (!documentSummary.ok()) return documentSummary.failure();
    if (!(*documentSummary)->current) return std::vector<props::CustomProperty>{};
    return propset::customPropertiesOf(*(*documentSummary)->current);
}

Result<bool> PptEdit::hasThumbnail()
{
    auto summary = propertySet(props::kSummaryInformation);
    if (!summary.ok()) return summary.failure();
    return holdsThumbnail((*summary)->current);
}

Result<bool> PptEdit::hasLastUserName()
{
    auto record = currentUser(cfb::kRootEntryId);
    if (!record.ok()) return record.failure();
    return *record && (*record)->current && currentUserWithoutName(*(*record)->current).has_value();
}

bool PptEdit::isSigned() { return compoundFileHasSignature(*compoundFile_); }

Failure PptEdit::setRows(const props::RowValues& values)
{
    for (const int selector : {props::kSummaryInformation, props::kDocumentSummaryInformation}) {
        std::vector<propset::PropertyWrite> writes;
        for (int row = 0; row < props::kRowCount; ++row) {
            const props::RowValue& value = values[std::size_t(row)];
            if (value.keeps() || pptSelectorOfRow(row) != selector) continue;
            auto write = pptRowWrite(row, value);
            if (!write.ok()) return write.failure();
            writes.push_back(std::move(write).value());
        }
        if (writes.empty()) continue;
        if (Failure refused = writeSet(selector, writes); refused.failed()) return refused;
    }
    return {};
}

Failure PptEdit::editCustomProperties(std::span<const props::CustomEdit> edits)
{
    if (edits.empty()) return {};
    return editSet(props::kDocumentSummaryInformation, [edits](const std::optional<std::vector<std::byte>>& current) {
        return propset::streamWithCustomEdits(current, edits);
    });
}

Failure PptEdit::removeThumbnail()
{
    const propset::PropertyWrite removal = propset::thumbnailRemoval();
    return writeSet(props::kSummaryInformation, std::span(&removal, 1));
}

Failure PptEdit::clearLastUserName()
{
    for (const auto storageId : {std::optional<std::uint32_t>(cfb::kRootEntryId), dualStorage_}) {
        if (!storageId) continue;
        auto record = currentUser(*storageId);
        if (!record.ok()) return record.failure();
        if (!*record || !(*record)->current) continue;
        if (auto emptied = currentUserWithoutName(*(*record)->current)) (*record)->current = std::move(emptied);
    }
    return {};
}

Result<std::vector<ValueChange>> PptEdit::secondCopyChanges(bool customEdited)
{
    std::vector<ValueChange> changes;
    if (!dualStorage_) return changes;
    auto summary = secondCopy(props::kSummaryInformation);
    if (!summary.ok()) return summary.failure();
    auto documentSummary = secondCopy(props::kDocumentSummaryInformation);
    if (!documentSummary.ok()) return documentSummary.failure();
    const Stream none;
    const Stream& summaryCopy = *summary ? **summary : none;
    const Stream& documentSummaryCopy = *documentSummary ? **documentSummary : none;

    // A copy read only where the edits changed it: a damaged set that no edit touched refuses
    // nothing (an edit of it is refused by the writes themselves).
    const bool setsChanged =
        summaryCopy.original != summaryCopy.current || documentSummaryCopy.original != documentSummaryCopy.current;
    if (setsChanged) {
        const auto before = rowTextsOf(summaryCopy.original, documentSummaryCopy.original);
        if (!before.ok()) return before.failure().within(kSecondCopy);
        const auto after = rowTextsOf(summaryCopy.current, documentSummaryCopy.current);
        if (!after.ok()) return after.failure().within(kSecondCopy);
        addRowChanges(*before, *after, changes);
    }
    if (customEdited && documentSummaryCopy.original != documentSummaryCopy.current) {
        auto before = propset::customPropertiesOf(*documentSummaryCopy.original);
        if (!before.ok()) return before.failure().within(kSecondCopy);
        auto after = propset::customPropertiesOf(*documentSummaryCopy.current);
        if (!after.ok()) return after.failure().within(kSecondCopy);
        addCustomChanges(*before, *after, changes);
    }
    if (setsChanged) {
        const auto thumbnailBefore = holdsThumbnail(summaryCopy.original);
        if (!thumbnailBefore.ok()) return thumbnailBefore.failure().within(kSecondCopy);
        const auto thumbnailAfter = holdsThumbnail(summaryCopy.current);
        if (!thumbnailAfter.ok()) return thumbnailAfter.failure().within(kSecondCopy);
        if (*thumbnailBefore && !*thumbnailAfter) changes.push_back(thumbnailRemoval());
    }
    auto record = currentUser(*dualStorage_);
    if (!record.ok()) return record.failure();
    if (*record && (*record)->original != (*record)->current) changes.push_back(lastUserNameRemoval());

    std::transform(changes.begin(), changes.end(), changes.begin(), inSecondCopy);
    return changes;
}

bool PptEdit::changed() const
{
    return std::any_of(streams_.begin(), streams_.end(),
                       [](const auto& named) { return named.second.current != named.second.original; });
}

Failure PptEdit::commit()
{
    std::vector<cfb::StreamWrite> writes;
    // A stream the file lacks is only ever made in the root: the edits of a second copy are
    // made where its stream exists.
    for (const auto& [key, stream] : streams_) {
        if (stream.current == stream.original || !stream.current) continue;
        writes.push_back({stream.entryId, stream.entryId ? std::u16string() : key.second, *stream.current});
    }
    if (writes.empty()) return {};
    // Every changed stream, new ones included, turns new with one write of the file.
    if (Failure written = cfb::writeStreams(*compoundFile_, writes); written.failed()) return written;
    // Keep the first fault: a close that fails after the writes fails the change.
    errno = 0;
    return file_->close() ? Failure{} : Failure::fromErrno(errno);
}

}  // namespace quorvane::document
