// SPDX-License-Identifier: Apache-2.0
#include "document/document_edit.h"

#include <array>
#include <cerrno>

#include "document/encryption_check.h"
#include "document/signature_check.h"

namespace quorvane::document {
namespace {

// The format the first bytes of the open file announce; the failure when they cannot be read
// or announce neither.
Result<DocumentFormat> formatOfOpenFile(EditedFile& opened)
{
    std::array<std::byte, 8> leading{};
    const std::uint64_t size = std::uint64_t(opened.info.st_size);
    const std::size_t count = std::size_t(std::min<std::uint64_t>(size, leading.size()));
    if (count > 0 && !opened.file.readAt(0, std::span(leading).first(count))) return Failure::fromErrno(errno);
    return announcedFormat(std::span(leading).first(count));
}

}  // namespace

Result<DocumentEdit> DocumentEdit::open(const std::string& path, bool forChange, const FinalMetadata* finalMetadata)
{
    auto opened = openFileForEdit(path, forChange, finalMetadata);
    if (!opened.ok()) return opened.failure();
    const Result<DocumentFormat> format = formatOfOpenFile(opened.value());
    if (!format.ok()) return format.failure();
    if (*format == DocumentFormat::Package) {
        auto package = package::PackageEdit::ofFile(std::move(opened).value());
        if (!package.ok()) return package.failure();
        return DocumentEdit(std::move(package).value());
    }
    auto ppt = PptEdit::ofFile(std::move(opened).value());
    if (!ppt.ok()) return ppt.failure();
    return DocumentEdit(std::move(ppt).value());
}

bool DocumentEdit::isSigned()
{
    if (auto* ppt = std::get_if<PptEdit>(&edit_)) return ppt->isSigned();
    auto& package = std::get<package::PackageEdit>(edit_);
    return packageHasSignature(package.file(), package.directory());
}

bool DocumentEdit::isEncrypted() const
{
    const auto* ppt = std::get_if<PptEdit>(&edit_);
    return ppt && ppt->isEncrypted();
}

Result<props::RowTexts> DocumentEdit::rows()
{
    return std::visit([](auto& edit) { return edit.rows(); }, edit_);
}

Result<std::vector<props::CustomProperty>> DocumentEdit::customProperties()
{
    return std::visit([](auto& edit) { return edit.customProperties(); }, edit_);
}

bool DocumentEdit::changed() const
{
    return std::visit([](const auto& edit) { return edit.changed(); }, edit_);
}

Result<std::vector<ValueChange>> DocumentEdit::prepare(const ContentRequest& request)
{
    // Clear-text streams added beside the encryption would be seen by no reader that decrypts it.
    if (isEncrypted()) return encryptedDocumentRefusal();
    auto* ppt = std::get_if<PptEdit>(&edit_);
    const auto hasThumbnail = [this] { return std::visit([](auto& edit) { return edit.hasThumbnail(); }, edit_); };
    const bool anyRow = std::any_of(request.rows.begin(), request.rows.end(), [](const auto& value) { return !value.keeps(); });
    const bool userName = request.clearLastUserName && ppt;

    std::optional<props::RowTexts> rowsBefore;
    if (anyRow) {
        auto rowsRead = rows();
        if (!rowsRead.ok()) return rowsRead.failure();
        rowsBefore = std::move(rowsRead).value();
    }
    std::vector<props::CustomProperty> customBefore;
    std::vector<props::CustomEdit> customEdits = request.custom;
    if (!request.custom.empty() || request.customFor) {
        auto customRead = customProperties();
        if (!customRead.ok()) return customRead.failure();
        customBefore = std::move(customRead).value();
        if (request.customFor) {
            auto edits = request.customFor(customBefore);
            if (!edits.ok()) return edits.failure();
            customEdits = std::move(edits).value();
        }
    }
    bool thumbnailBefore = false;
    if (request.removeThumbnail) {
        auto found = hasThumbnail();
        if (!found.ok()) return found.failure();
        thumbnailBefore = *found;
    }
    bool userNameBefore = false;
    if (userName) {
        auto found = ppt->hasLastUserName();
        if (!found.ok()) return found.failure();
        userNameBefore = *found;
    }

    Failure refused = std::visit([&request](auto& edit) { return edit.setRows(request.rows); }, edit_);
    if (!refused.failed()) refused = std::visit([&customEdits](auto& edit) { return edit.editCustomProperties(customEdits); }, edit_);
    if (!refused.failed() && request.removeThumbnail) refused = std::visit([](auto& edit) { return edit.removeThumbnail(); }, edit_);
    if (!refused.failed() && userName) refused = ppt->clearLastUserName();
    if (refused.failed()) return refused;

    std::vector<ValueChange> changes;
    if (rowsBefore) {
        auto rowsAfter = rows();
        if (!rowsAfter.ok()) return rowsAfter.failure();
        addRowChanges(*rowsBefore, *rowsAfter, changes);
    }
    if (!customEdits.empty()) {
        auto customAfter = customProperties();
        if (!customAfter.ok()) return customAfter.failure();
        addCustomChanges(customBefore, *customAfter, changes);
    }
    if (thumbnailBefore) changes.push_back(thumbnailRemoval());
    if (userNameBefore) changes.push_back(lastUserNameRemoval());
    if (ppt) {
        auto secondCopy = ppt->secondCopyChanges(!customEdits.empty());
        if (!secondCopy.ok()) return secondCopy.failure();
        changes.insert(changes.end(), secondCopy->begin(), secondCopy->end());
    }
    return changes;
}

Failure DocumentEdit::writable() const
{
    if (const auto* ppt = std::get_if<PptEdit>(&edit_)) return ppt->writable();
    return {};
}

Failure DocumentEdit::commit(const FinalMetadata* finalMetadata)
{
    if (auto* ppt = std::get_if<PptEdit>(&edit_)) return ppt->commit();
    return std::get<package::PackageEdit>(edit_).commit(finalMetadata);
}

}  // namespace quorvane::document
