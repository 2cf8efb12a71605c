// SPDX-License-Identifier: Apache-2.0
// One .ppt (compound file) opened once, read and edited in memory, and committed in one write
// sequence of the file (cfb_stream_write.h): the 14 rows in SummaryInformation and
// DocumentSummaryInformation, the user-defined section of the latter ([MS-OLEPS] 2.16-2.18), the
// thumbnail property and the last user's name of the "Current User" stream ([MS-PPT] 2.3.2). Each
// stream is read once; only streams whose bytes changed are written, every other byte of the
// file is kept.
// A file saved for PowerPoint 95 and 97 keeps the PowerPoint 97 rendition of the presentation,
// with a second copy of both property sets and its own Current User stream, in the storage
// PP97_DUALSTORAGE below the root, which readers of the PowerPoint 97 format open in preference
// to the root's streams. Every edit of a set, and of the user's name, is made in that copy too,
// with the same writes, where the storage holds the stream (no stream or storage is created
// there), and committed in the same write sequence: a cut leaves both copies old or both new. A
// second copy that cannot take an edit (a set that does not parse) refuses the whole edit, so
// that no change leaves the old values in one copy; a Current User stream that is no
// CurrentUserAtom is left as it is, in either storage.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/change_scope.h"
#include "base/failure.h"
#include "cfb/cfb_compound_file.h"
#include "document/value_change.h"
#include "props/custom_property.h"
#include "propset/property_set_access.h"
#include "props/row_value.h"

namespace quorvane::document {

class PptEdit {
public:
    // The compound file in `opened` (openFileForEdit), its structures loaded; the failure of
    // CompoundFile::open ("damaged compound file: ...", the system's reason of a read) or of
    // Directory::checkTreeLinks, for a reader as for a writer.
    static Result<PptEdit> ofFile(EditedFile opened);

    // The 14 rows as the display shows them, the custom properties in stored order, whether
    // SummaryInformation holds a thumbnail, and the last user's name of the Current User stream
    // ("" when none or not understood): as edited so far. Failures: a stream that cannot be read
    // ("damaged compound file: ..."), a set that a write would refuse as damaged ("damaged
    // property set: ...", propset::propertySetContent) or a user-defined section that does not
    // fit its bytes.
    Result<props::RowTexts> rows();
    Result<std::vector<props::CustomProperty>> customProperties();
    Result<bool> hasThumbnail();
    Result<bool> hasLastUserName();
    bool isSigned();
    // Whether the file is an encrypted document (encryption_check.h), as found at its open.
    bool isEncrypted() const { return encrypted_; }

    // Edits in memory, of the root's streams and of their second copies; nothing is written. Each
    // gives its failure with nothing of it applied: a value a set cannot hold (a text its code page
    // lacks, a date no FILETIME holds), a set that does not parse (in the second copy: "the
    // second copy of the properties in PP97_DUALSTORAGE: damaged property set: ...").
    Failure setRows(const props::RowValues& values);
    Failure editCustomProperties(std::span<const props::CustomEdit> edits);
    Failure removeThumbnail();
    Failure clearLastUserName();

    // What the edits changed in the second copy of the properties, as DocumentEdit::prepare lists
    // the root's changes (the custom properties only when `customEdited`), each named "dual:<name>"
    // and labelled "<label> (second copy in PP97_DUALSTORAGE)"; empty when the file has no such
    // copy. The failure of a read of that copy's custom properties.
    Result<std::vector<ValueChange>> secondCopyChanges(bool customEdited);

    // Whether the edits changed any stream.
    bool changed() const;

    // Failure{} when the compound file is sound enough to write into (cfb::CompoundFile::
    // checkAllocation); else the refusal that a commit would give, with nothing written.
    Failure writable() const { return compoundFile_->checkAllocation(); }

    // Writes every changed stream in one write sequence (cfb::writeStreams). Failure{} when
    // written or when nothing changed; otherwise the refusal of a file too damaged to write into
    // (nothing written) or the write's failure.
    Failure commit();

private:
    struct Stream {
        std::optional<std::uint32_t> entryId;             // none: the file has no such stream
        std::optional<std::vector<std::byte>> original;   // as read; none when absent
        std::optional<std::vector<std::byte>> current;    // as edited
    };

    // A set's new bytes made from its current ones (nullopt in: the set is absent), or nullopt
    // when the edit leaves it as it is; or why the edit cannot be made.
    using SetEdit = std::function<Result<std::optional<std::vector<std::byte>>>(const std::optional<std::vector<std::byte>>&)>;

    PptEdit(std::unique_ptr<PosixFile> file, cfb::CompoundFile compoundFile)
        : file_(std::move(file)), compoundFile_(std::make_unique<cfb::CompoundFile>(std::move(compoundFile)))
    {
    }
    // The stream named `name` of storage `storageId`, read once (at most `maxBytes`).
    Result<Stream*> stream(std::uint32_t storageId, const std::u16string& name, std::uint64_t maxBytes);
    Result<Stream*> propertySet(int selector);
    // The set's copy in PP97_DUALSTORAGE; nullptr when the file has no such storage or it holds no
    // such stream.
    Result<Stream*> secondCopy(int selector);
    // The Current User stream of storage `storageId`; nullptr when absent or longer than a
    // CurrentUserAtom this code understands.
    Result<Stream*> currentUser(std::uint32_t storageId);
    // Applies `edit` to set `selector` and to its second copy, or to neither.
    Failure editSet(int selector, const SetEdit& edit);
    // Applies `writes` to the first section of set `selector` and of its second copy.
    Failure writeSet(int selector, std::span<const propset::PropertyWrite> writes);

    std::unique_ptr<PosixFile> file_;
    std::unique_ptr<cfb::CompoundFile> compoundFile_;
    std::optional<std::uint32_t> dualStorage_;  // the PP97_DUALSTORAGE storage's entry
    std::map<std::pair<std::uint32_t, std::u16string>, Stream> streams_;  // by storage entry and name
    bool encrypted_ = false;
};

}  // namespace quorvane::document
