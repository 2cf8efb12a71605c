#include "props/package_reader.h"

#include "props/package_element.h"
#include "props/package_parts.h"
#include "props/w3c_date_time.h"
#include "props/zip_central_dir.h"

namespace quorvane::props {

std::optional<RowTexts> ReadPackageProperties(const std::string& path)
{
    auto file = PosixFile::open(path, OpenMode::ReadShared);
    if (!file) return std::nullopt;
    const auto directory = ReadDirectory(*file);
    if (!directory) return std::nullopt;
    const auto parts = readPropertyParts(*file, *directory);
    if (!parts) return std::nullopt;

    RowTexts texts;
    for (const int row : kExtendedPartRows)
        texts[row] = ReadChildElementText(parts->extended.part, catalogueRow(row).elementName);
    for (const int row : kCorePartRows)
        texts[row] = ReadChildElementText(parts->core.part, catalogueRow(row).elementName);
    for (const int row : {kCreatedRow, kLastSavedRow, kLastPrintedRow})
        texts[row] = W3cDateTimeToDisplayText(texts[row]);
    return texts;
}

}  // namespace quorvane::props
