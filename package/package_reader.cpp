// SPDX-License-Identifier: Apache-2.0
#include "package/package_reader.h"

#include "package/package_edit.h"

namespace quorvane::package {

Result<props::RowTexts> readPackageRows(const std::string& path)
{
    auto edit = PackageEdit::open(path, false, nullptr);
    if (!edit.ok()) return edit.failure();
    return edit->rows();
}

std::optional<props::RowTexts> ReadPackageProperties(const std::string& path)
{
    auto rows = readPackageRows(path);
    if (!rows.ok()) return std::nullopt;
    return std::move(rows).value();
}

}  // namespace quorvane::package
