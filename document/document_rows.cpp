#include "document/document_rows.h"

#include <algorithm>

#include "document/document_format.h"
#include "document/signature_check.h"
#include "package/package_reader.h"
#include "package/package_writer.h"
#include "document/ppt_rows.h"

namespace quorvane::document {
namespace {

// What a write of `selected` does to a signed file.
enum class SignedWrite {
    Write,    // not signed, or signed writes allowed: write as asked
    Skip,     // signed, nothing selected: a package rewrite would still re-save its parts
    Refuse    // signed, rows selected
};

SignedWrite signedWriteOf(const std::string& path, DocumentFormat format, const props::RowSelection& selected)
{
    if (SignedDocumentWrites::allowed() || !hasDigitalSignature(path, format)) return SignedWrite::Write;
    const bool anySelected = std::find(selected.begin(), selected.end(), true) != selected.end();
    return anySelected ? SignedWrite::Refuse : SignedWrite::Skip;
}

}  // namespace

bool isPackagePath(const std::string& path) { return documentFormatOf(path) == DocumentFormat::Package; }

std::optional<props::RowTexts> readDocumentRows(const std::string& path)
{
    if (isPackagePath(path)) return package::ReadPackageProperties(path);
    return document::readPptRows(path);
}

bool writeDocumentRows(const std::string& path, const props::RowTexts& texts, const props::RowSelection& selected)
{
    const DocumentFormat format = documentFormatOf(path);
    if (format == DocumentFormat::CompoundFile) return !writeRows(path, texts, selected).failed();
    switch (signedWriteOf(path, format, selected)) {
    case SignedWrite::Skip: return true;
    case SignedWrite::Refuse: return false;
    case SignedWrite::Write: break;
    }
    return package::WritePackageProperties(path, texts, selected);
}

Result<props::RowTexts> readRows(const std::string& path)
{
    if (isPackagePath(path)) return package::readPackageRows(path);
    return readPptRowsOrFailure(path);
}

Failure writeRows(const std::string& path, const props::RowTexts& texts, const props::RowSelection& selected)
{
    const DocumentFormat format = documentFormatOf(path);
    switch (signedWriteOf(path, format, selected)) {
    case SignedWrite::Skip: return {};
    case SignedWrite::Refuse: return signedDocumentRefusal();
    case SignedWrite::Write: break;
    }
    if (format == DocumentFormat::Package) return package::writePackageRows(path, texts, selected);
    document::RowChanges changes;
    for (int row = 0; row < props::kRowCount; ++row)
        if (selected[std::size_t(row)]) changes[std::size_t(row)] = texts[std::size_t(row)];
    return writePptRowsOrFailure(path, changes);
}

}  // namespace quorvane::document
