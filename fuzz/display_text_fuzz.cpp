// Reading a date-time display text, and the package date reader, on any bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "props/display_text.h"
#include "props/error.h"
#include "props/w3c_date_time.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const quorvane::props::DateTime value = quorvane::props::DisplayTextToDateTime(text);
        // What was read must be shown again without trouble.
        (void)quorvane::props::DateTimeToDisplayText(value);
    } catch (const quorvane::Error&) {
    }
    (void)quorvane::props::W3cDateTimeToDisplayText(text);
    (void)quorvane::props::DisplayTextToW3cDateTime(text);
    return 0;
}
