// The property-set parser and the value-to-text conversions on any stream bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "props/property_value_text.h"
#include "props/propset_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quorvane::props;
    const std::span<const std::byte> stream(reinterpret_cast<const std::byte*>(data), size);
    const auto layout = parsePropertySet(stream);
    if (!layout) return 0;
    for (const Section& section : layout->sections) {
        (void)declaredCodePage(stream, section);
        for (std::size_t i = 0; i < section.entries.size(); ++i) {
            (void)valueExtent(section, i);
            if (const auto value = readProperty(stream, section, section.entries[i].id)) {
                (void)PropertyValueToText(*value);
                (void)EditTimeValueToText(*value);
            }
        }
    }
    return 0;
}
