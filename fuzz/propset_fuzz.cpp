// SPDX-License-Identifier: Apache-2.0
// The property-set parser and the value-to-text conversions on any stream bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "propset/property_value_text.h"
#include "propset/propset_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quorvane;
    const std::span<const std::byte> stream(reinterpret_cast<const std::byte*>(data), size);
    const auto layout = propset::parsePropertySet(stream);
    if (!layout) return 0;
    for (const propset::Section& section : layout->sections) {
        (void)propset::declaredCodePage(stream, section);
        for (std::size_t i = 0; i < section.entries.size(); ++i) {
            (void)propset::valueExtent(section, i);
            if (const auto value = propset::readProperty(stream, section, section.entries[i].id)) {
                (void)propset::PropertyValueToText(*value);
                (void)propset::EditTimeValueToText(*value);
            }
        }
    }
    return 0;
}
