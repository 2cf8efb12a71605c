// SPDX-License-Identifier: Apache-2.0
// A presentation file opened once, whichever its format, to read its document properties and to
// plan or make a change of them: the one place where the format is chosen (by the file's first
// bytes, the extension deciding only for a file that announces neither, document_format.h). The
// format implementations are the package edit (package/package_edit.h) and the .ppt edit
// (ppt_edit.h); both take the same request and commit it in one write.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "base/change_scope.h"
#include "base/failure.h"
#include "document/document_format.h"
#include "document/ppt_edit.h"
#include "document/value_change.h"
#include "package/package_edit.h"
#include "props/custom_property.h"
#include "props/row_value.h"

namespace quorvane::document {

// Custom edits that depend on what a file stores (a value given as text that keeps the stored
// property's type): given the file's custom properties, the edits to apply, or why there are none.
using CustomEditsFor =
    std::function<Result<std::vector<props::CustomEdit>>(const std::vector<props::CustomProperty>& stored)>;

// What a change asks of a document's content.
struct ContentRequest {
    props::RowValues rows{};
    std::vector<props::CustomEdit> custom;  // applied in order
    CustomEditsFor customFor;               // when given, `custom` is customFor(the file's custom properties)
    bool removeThumbnail = false;
    bool clearLastUserName = false;  // the Current User stream's name (.ppt; a package has none)
};

class DocumentEdit {
public:
    // Opens `path` once (openFileForEdit: to read under a shared lock, or for a change) and
    // loads the structure of the format its first bytes announce, whatever its name. Failures:
    // openFileForEdit's, "not a presentation: ..." for a file that announces neither format
    // (announcedFormat), and a file that is not what its format needs ("damaged ZIP archive:
    // ...", "damaged compound file: ...").
    static Result<DocumentEdit> open(const std::string& path, bool forChange, const FinalMetadata* finalMetadata);

    DocumentFormat format() const { return std::holds_alternative<PptEdit>(edit_) ? DocumentFormat::CompoundFile : DocumentFormat::Package; }
    bool isSigned();
    // Whether the file is an encrypted document (encryption_check.h): its rows and custom
    // properties are then only those left in the clear, and prepare refuses every request.
    bool isEncrypted() const;

    // The 14 rows as the display shows them and the custom properties, as edited so far.
    Result<props::RowTexts> rows();
    Result<std::vector<props::CustomProperty>> customProperties();

    // Applies `request` in memory and gives every value it alters, in catalogue order, then the
    // custom properties, the thumbnail and the last user's name, then the same for a .ppt's second
    // copy of its properties (PptEdit::secondCopyChanges); empty when nothing would change.
    // Nothing is written. The failure, with nothing applied that a commit would write, when the
    // file is encrypted (encryptedDocumentRefusal, whatever the request), cannot hold a value, or
    // a part or stream it needs cannot be read.
    Result<std::vector<ValueChange>> prepare(const ContentRequest& request);

    // Whether prepare changed anything a commit would write.
    bool changed() const;

    // Failure{} when a commit of what prepare changed can be written; else the refusal that the
    // commit would give before writing (a compound file whose allocation is broken).
    Failure writable() const;

    // Writes what prepare changed in one commit: one archive rewrite whose new file takes
    // `finalMetadata` before its rename, or one write sequence of the compound file. Failure{}
    // when written or when nothing changed. Only for a file opened for a change.
    Failure commit(const FinalMetadata* finalMetadata);

private:
    explicit DocumentEdit(std::variant<PptEdit, package::PackageEdit> edit) : edit_(std::move(edit)) {}

    std::variant<PptEdit, package::PackageEdit> edit_;
};

}  // namespace quorvane::document
