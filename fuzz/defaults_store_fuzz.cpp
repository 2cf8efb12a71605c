// SPDX-License-Identifier: Apache-2.0
// The saved-defaults store parser and the reading rules of the settings, on any bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "change/defaults_store.h"
#include "change/saved_defaults.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quorvane::change;
    const NamedValues values = parseDefaultsStore(std::string_view(reinterpret_cast<const char*>(data), size));
    const BatchSettings settings = batchSettingsFromDefaults(values, 40000.5);
    // Whatever was read must survive a save and a reload unchanged.
    const NamedValues saved = defaultsValuesOf(settings);
    if (parseDefaultsStore(formatDefaultsStore(saved)) != saved) __builtin_trap();
    return 0;
}
