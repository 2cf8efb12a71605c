// SPDX-License-Identifier: Apache-2.0
// Reading a date-time display text, and the package date reader, on any bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "convert/display_text.h"
#include "base/error.h"
#include "convert/w3c_date_time.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const quorvane::convert::DateTime value = quorvane::convert::DisplayTextToDateTime(text);
        // What was read must be shown again without trouble.
        (void)quorvane::convert::DateTimeToDisplayText(value);
    } catch (const quorvane::Error&) {
    }
    (void)quorvane::convert::W3cDateTimeToDisplayText(text);
    (void)quorvane::convert::DisplayTextToW3cDateTime(text);
    return 0;
}
