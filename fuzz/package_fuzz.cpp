// SPDX-License-Identifier: Apache-2.0
// The package reader on an in-memory archive: relationships, both property parts and every
// element the catalogue names. Malformed XML is an error the reader reports by exception.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "props/catalogue.h"
#include "base/error.h"
#include "package/package_element.h"
#include "package/package_parts.h"
#include "zip/zip_central_dir.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quorvane;
    const auto* first = reinterpret_cast<const std::byte*>(data);
    MemoryFile file(std::vector<std::byte>(first, first + size));
    const auto directory = zip::ReadDirectory(file);
    if (!directory) return 0;
    try {
        const auto parts = package::readPropertyParts(file, *directory);
        if (!parts) return 0;
        for (int row = 0; row < props::kRowCount; ++row) {
            const props::PropertyRow& entry = props::catalogueRow(row);
            const auto& part = entry.packagePart == props::PackagePart::Core ? parts->core.part : parts->extended.part;
            (void)package::ReadChildElementText(part, entry.elementName);
        }
    } catch (const Error&) {
    }
    return 0;
}
