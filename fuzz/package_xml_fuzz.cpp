// One package part on any bytes: the relationship scan, element lookups by qualified name, an
// element write and the save, as the writer does them.
#include <cstddef>
#include <cstdint>
#include <span>

#include "props/catalogue.h"
#include "props/error.h"
#include "props/package_element.h"
#include "props/package_relationships.h"
#include "props/package_xml.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quorvane;
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    try {
        props::ParsedPart part = props::parsePart("fuzzed.xml", bytes);
        (void)props::FindRelationshipTargets(part);
        for (int row = 0; row < props::kRowCount; ++row) {
            const std::string_view element = props::catalogueRow(row).elementName;
            (void)props::ReadChildElementText(part, element);
            props::SetChildElementText(part, element, row % 2 ? "" : "value");
        }
        (void)props::savePart(part);
    } catch (const Error&) {
    }
    return 0;
}
