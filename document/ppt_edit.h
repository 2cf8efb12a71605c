// One .ppt (compound file) opened once, read and edited in memory, and committed in one write
// sequence of the file (cfb_stream_write.h): the 14 rows in SummaryInformation and
// DocumentSummaryInformation, the user-defined section of the latter ([MS-OLEPS] 2.16-2.18), the
// thumbnail property and the last user's name of the "Current User" stream ([MS-PPT] 2.3.2). Each
// stream is read once; only streams whose bytes changed are written, every other byte of the
// file is kept.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/change_scope.h"
#include "base/failure.h"
#include "cfb/cfb_compound_file.h"
#include "props/custom_property.h"
#include "props/row_value.h"

namespace quorvane::document {

class PptEdit {
public:
    // The compound file in `opened` (openFileForEdit), its structures loaded; the failure of
    // CompoundFile::open ("damaged compound file: ...", the system's reason of a read).
    static Result<PptEdit> ofFile(EditedFile opened);

    // The 14 rows as the display shows them, the custom properties in stored order, whether
    // SummaryInformation holds a thumbnail, and the last user's name of the Current User stream
    // ("" when none or not understood): as edited so far. Failures: a stream that cannot be read
    // ("damaged compound file: ...") or a user-defined section that does not fit its bytes.
    Result<props::RowTexts> rows();
    Result<std::vector<props::CustomProperty>> customProperties();
    Result<bool> hasThumbnail();
    Result<bool> hasLastUserName();
    bool isSigned();
    // Whether the file is an encrypted document (encryption_check.h), as found at its open.
    bool isEncrypted() const { return encrypted_; }

    // Edits in memory; nothing is written. Each gives its failure with nothing of it applied: a
    // value a set cannot hold (a text its code page lacks, a date no FILETIME holds), a set that
    // does not parse.
    Failure setRows(const props::RowValues& values);
    Failure editCustomProperties(std::span<const props::CustomEdit> edits);
    Failure removeThumbnail();
    Failure clearLastUserName();

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

    PptEdit(std::unique_ptr<PosixFile> file, cfb::CompoundFile compoundFile, bool encrypted)
        : file_(std::move(file)), compoundFile_(std::make_unique<cfb::CompoundFile>(std::move(compoundFile))),
          encrypted_(encrypted)
    {
    }
    // The stream of the root storage named `name`, read once (at most `maxBytes`).
    Result<Stream*> stream(const std::u16string& name, std::uint64_t maxBytes);
    Result<Stream*> propertySet(int selector);

    std::unique_ptr<PosixFile> file_;
    std::unique_ptr<cfb::CompoundFile> compoundFile_;
    std::map<std::u16string, Stream> streams_;
    bool encrypted_;
};

}  // namespace quorvane::document
