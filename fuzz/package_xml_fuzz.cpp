// SPDX-License-Identifier: Apache-2.0
// One package part on any bytes: the relationship scan, element lookups by qualified name, an
// element write and the save, as the writer does them.
#include <cstddef>
#include <cstdint>
#include <span>

#include "props/catalogue.h"
#include "base/error.h"
#include "package/package_element.h"
#include "package/package_relationships.h"
#include "package/package_xml.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quorvane;
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    try {
        package::ParsedPart part = package::parsePart("fuzzed.xml", bytes);
        (void)package::FindRelationshipTargets(part);
        for (int row = 0; row < props::kRowCount; ++row) {
            const std::string_view element = props::catalogueRow(row).elementName;
            (void)package::ReadChildElementText(part, element);
            package::SetChildElementText(part, element, row % 2 ? "" : "value");
        }
        (void)package::savePart(part);
    } catch (const Error&) {
    }
    return 0;
}
