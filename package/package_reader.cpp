#include "package/package_reader.h"

#include "convert/w3c_date_time.h"
#include "package/package_element.h"
#include "package/package_file.h"
#include "package/package_parts.h"
#include "zip/zip_central_dir.h"

namespace quorvane::package {
namespace {

Result<props::RowTexts> readRows(const std::string& path, MalformedXml onMalformedXml)
{
    auto file = openPackageFile(path, OpenMode::ReadShared);
    if (!file.ok()) return file.failure();
    const auto directory = zip::readArchiveDirectory(file.value());
    if (!directory.ok()) return directory.failure();
    const auto parts = loadPropertyParts(file.value(), *directory, onMalformedXml);
    if (!parts.ok()) return parts.failure();

    props::RowTexts texts;
    for (const int row : kExtendedPartRows)
        texts[row] = ReadChildElementText(parts->extended.part, props::catalogueRow(row).elementName);
    for (const int row : kCorePartRows)
        texts[row] = ReadChildElementText(parts->core.part, props::catalogueRow(row).elementName);
    for (const int row : {props::kCreatedRow, props::kLastSavedRow, props::kLastPrintedRow})
        texts[row] = convert::W3cDateTimeToDisplayText(texts[row]);
    return texts;
}

}  // namespace

Result<props::RowTexts> readPackageRows(const std::string& path) { return readRows(path, MalformedXml::Fail); }

std::optional<props::RowTexts> ReadPackageProperties(const std::string& path)
{
    auto rows = readRows(path, MalformedXml::Throw);
    if (!rows.ok()) return std::nullopt;
    return std::move(rows).value();
}

}  // namespace quorvane::package
