#include "props/document_rows.h"

#include <strings.h>

#include "props/package_reader.h"
#include "props/package_writer.h"
#include "props/ppt_rows.h"

namespace quorvane::props {

bool isPackagePath(std::string_view path)
{
    const auto dot = path.find_last_of("./");
    if (dot == std::string_view::npos || path[dot] != '.') return false;
    const std::string_view extension = path.substr(dot + 1);
    return extension.size() == 4 && ::strncasecmp(extension.data(), "pptx", 4) == 0;
}

std::optional<RowTexts> readDocumentRows(const std::string& path)
{
    if (isPackagePath(path)) return ReadPackageProperties(path);
    return readPptRows(path);
}

bool writeDocumentRows(const std::string& path, const RowTexts& texts, const RowSelection& selected)
{
    if (isPackagePath(path)) return WritePackageProperties(path, texts, selected);
    RowChanges changes;
    for (int row = 0; row < kRowCount; ++row)
        if (selected[std::size_t(row)]) changes[std::size_t(row)] = texts[std::size_t(row)];
    return writePptRows(path, changes);
}

}  // namespace quorvane::props
