#include "document/document_rows.h"

#include "document/document_format.h"
#include "package/package_reader.h"
#include "package/package_writer.h"
#include "document/ppt_rows.h"

namespace quorvane::document {

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
    if (format == DocumentFormat::Package) return package::writePackageRows(path, texts, selected);
    document::RowChanges changes;
    for (int row = 0; row < props::kRowCount; ++row)
        if (selected[std::size_t(row)]) changes[std::size_t(row)] = texts[std::size_t(row)];
    return writePptRowsOrFailure(path, changes);
}

}  // namespace quorvane::document
