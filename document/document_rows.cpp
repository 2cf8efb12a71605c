#include "document/document_rows.h"

#include <strings.h>

#include "package/package_reader.h"
#include "package/package_writer.h"
#include "document/ppt_rows.h"

namespace quorvane::document {

bool isPackagePath(std::string_view path)
{
    const auto dot = path.find_last_of("./");
    if (dot == std::string_view::npos || path[dot] != '.') return false;
    const std::string_view extension = path.substr(dot + 1);
    return extension.size() == 4 && ::strncasecmp(extension.data(), "pptx", 4) == 0;
}

std::optional<props::RowTexts> readDocumentRows(const std::string& path)
{
    if (isPackagePath(path)) return package::ReadPackageProperties(path);
    return document::readPptRows(path);
}

bool writeDocumentRows(const std::string& path, const props::RowTexts& texts, const props::RowSelection& selected)
{
    if (isPackagePath(path)) return package::WritePackageProperties(path, texts, selected);
    return !writeRows(path, texts, selected).failed();
}

Result<props::RowTexts> readRows(const std::string& path)
{
    if (isPackagePath(path)) return package::readPackageRows(path);
    return readPptRowsOrFailure(path);
}

Failure writeRows(const std::string& path, const props::RowTexts& texts, const props::RowSelection& selected)
{
    if (isPackagePath(path)) return package::writePackageRows(path, texts, selected);
    document::RowChanges changes;
    for (int row = 0; row < props::kRowCount; ++row)
        if (selected[std::size_t(row)]) changes[std::size_t(row)] = texts[std::size_t(row)];
    return writePptRowsOrFailure(path, changes);
}

}  // namespace quorvane::document
