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

// The first section of a set as the display reads it: nullopt when absent, not parsing, or
// holding no section.
std::optional<propset::PropertySetContent> contentOf(const std::optional<std::vector<std::byte>>& stream)
{
    if (!stream) return std::nullopt;
    auto layout = propset::parsePropertySet(*stream);
    if (!layout || layout->sections.empty()) return std::nullopt;
    return propset::PropertySetContent{*stream, std::move(layout->sections.front())};
}

// The stream a write of set properties starts from: a set without any section holds nothing, and
// a new set takes its place; a stream that does not parse is refused, so that nothing of it is lost.
Result<std::optional<std::vector<std::byte>>> writableSet(const std::optional<std::vector<std::byte>>& stream)
{
    if (!stream) return stream;
    const auto layout = propset::parsePropertySet(*stream);
    if (!layout) return damaged("property set: its header or section list is broken");
    if (layout->sections.empty()) return std::optional<std::vector<std::byte>>();
    return stream;
}

}  // namespace

Result<PptEdit> PptEdit::ofFile(EditedFile opened)
{
    auto file = std::make_unique<PosixFile>(std::move(opened.file));
    auto compoundFile = cfb::CompoundFile::open(*file);
    if (!compoundFile.ok()) return compoundFile.failure();
    const bool encrypted = compoundFileIsEncrypted(*compoundFile);
    return PptEdit(std::move(file), std::move(compoundFile).value(), encrypted);
}

Result<PptEdit::Stream*> PptEdit::stream(const std::u16string& name, std::uint64_t maxBytes)
{
    if (const auto found = streams_.find(name); found != streams_.end()) return &found->second;
    Stream loaded;
    loaded.entryId = compoundFile_->findRootStream(name);
    if (loaded.entryId) {
        auto bytes = compoundFile_->readStream(*loaded.entryId, maxBytes);
        if (!bytes.ok()) return bytes.failure();
        loaded.original = std::move(bytes).value();
        loaded.current = loaded.original;
    }
    return &streams_.emplace(name, std::move(loaded)).first->second;
}

Result<PptEdit::Stream*> PptEdit::propertySet(int selector)
{
    return stream(propset::propertySetStreamName(props::fmtidOfSelector(selector)), propset::kMaxPropertySetStreamBytes);
}

Result<props::RowTexts> PptEdit::rows()
{
    auto summary = propertySet(props::kSummaryInformation);
    if (!summary.ok()) return summary.failure();
    auto documentSummary = propertySet(props::kDocumentSummaryInformation);
    if (!documentSummary.ok()) return documentSummary.failure();
    return pptRowTexts(contentOf((*summary)->current), contentOf((*documentSummary)->current));
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
    const auto content = contentOf((*summary)->current);
    return content && propset::holdsThumbnail(*content);
}

Result<bool> PptEdit::hasLastUserName()
{
    if (const auto entryId = compoundFile_->findRootStream(kCurrentUserStreamName);
        !entryId || compoundFile_->directory().entry(*entryId).streamSize > kMaxCurrentUserStreamBytes)
        return false;
    auto currentUser = stream(std::u16string(kCurrentUserStreamName), kMaxCurrentUserStreamBytes);
    if (!currentUser.ok()) return currentUser.failure();
    return (*currentUser)->current && currentUserWithoutName(*(*currentUser)->current).has_value();
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
        auto set = propertySet(selector);
        if (!set.ok()) return set.failure();
        auto start = writableSet((*set)->current);
        if (!start.ok()) return start.failure();
        auto written = propset::streamWithWrites(std::move(start).value(), props::fmtidOfSelector(selector), writes);
        if (!written.ok()) return written.failure();
        if (*written) (*set)->current = std::move(*written);
    }
    return {};
}

Failure PptEdit::editCustomProperties(std::span<const props::CustomEdit> edits)
{
    if (edits.empty()) return {};
    auto documentSummary = propertySet(props::kDocumentSummaryInformation);
    if (!documentSummary.ok()) return documentSummary.failure();
    auto edited = propset::streamWithCustomEdits((*documentSummary)->current, edits);
    if (!edited.ok()) return edited.failure();
    if (*edited) (*documentSummary)->current = std::move(**edited);
    return {};
}

Failure PptEdit::removeThumbnail()
{
    auto summary = propertySet(props::kSummaryInformation);
    if (!summary.ok()) return summary.failure();
    auto start = writableSet((*summary)->current);
    if (!start.ok()) return start.failure();
    const propset::PropertyWrite removal = propset::thumbnailRemoval();
    auto written = propset::streamWithWrites(std::move(start).value(), props::fmtidOfSelector(props::kSummaryInformation),
                                             std::span(&removal, 1));
    if (!written.ok()) return written.failure();
    if (*written) (*summary)->current = std::move(*written);
    return {};
}

Failure PptEdit::clearLastUserName()
{
    auto has = hasLastUserName();
    if (!has.ok()) return has.failure();
    if (!*has) return {};
    Stream& currentUser = streams_.at(std::u16string(kCurrentUserStreamName));
    currentUser.current = currentUserWithoutName(*currentUser.current);
    return {};
}

bool PptEdit::changed() const
{
    return std::any_of(streams_.begin(), streams_.end(),
                       [](const auto& named) { return named.second.current != named.second.original; });
}

Failure PptEdit::commit()
{
    std::vector<cfb::StreamWrite> writes;
    for (const auto& [name, stream] : streams_) {
        if (stream.current == stream.original || !stream.current) continue;
        writes.push_back({stream.entryId, stream.entryId ? std::u16string() : name, *stream.current});
    }
    if (writes.empty()) return {};
    // Every changed stream, new ones included, turns new with one write of the file.
    if (Failure written = cfb::writeStreams(*compoundFile_, writes); written.failed()) return written;
    // Keep the first fault: a close that fails after the writes fails the change.
    errno = 0;
    return file_->close() ? Failure{} : Failure::fromErrno(errno);
}

}  // namespace quorvane::document
