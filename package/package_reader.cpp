#include "package/package_reader.h"

#include "package/package_element.h"
#include "package/package_parts.h"
#include "convert/w3c_date_time.h"
#include "zip/zip_central_dir.h"

namespace quorvane::package {

std::optional<props::RowTexts> ReadPackageProperties(const std::string& path)
{
    auto file = PosixFile::open(path, OpenMode::ReadShared);
    if (!file) return std::nullopt;
    const auto directory = zip::ReadDirectory(*file);
    if (!directory) return std::nullopt;
    const auto parts = readPropertyParts(*file, *directory);
    if (!parts) return std::nullopt;

    props::RowTexts texts;
    for (const int row : kExtendedPartRows)
        texts[row] = ReadChildElementText(parts->extended.part, props::catalogueRow(row).elementName);
    for (const int row : kCorePartRows)
        texts[row] = ReadChildElementText(parts->core.part, props::catalogueRow(row).elementName);
    for (const int row : {props::kCreatedRow, props::kLastSavedRow, props::kLastPrintedRow})
        texts[row] = convert::W3cDateTimeToDisplayText(texts[row]);
    return texts;
}

}  // namespace quorvane::package
