// SPDX-License-Identifier: Apache-2.0
#include "convert/minutes_text.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "convert/date_time.h"

namespace quorvane::convert {

std::int64_t MinutesTextToFileTimeSpan(std::string_view minutesText)
{
    if (!minutesText.empty() && minutesText.front() == '+') minutesText.remove_prefix(1);
    std::int32_t minutes = 0;
    const auto [end, error] = std::from_chars(minutesText.data(), minutesText.data() + minutesText.size(), minutes);
    if (error != std::errc() || end != minutesText.data() + minutesText.size() || minutesText.empty()) return 0;
    return std::int64_t(minutes) * kFileTimeUnitsPerMinute;
}

std::string FileTimeSpanToMinutesText(std::int64_t span100ns)
{
    // nearbyint rounds in the default mode, to nearest with ties to even.
    const double minutes = std::nearbyint(double(span100ns) / double(kFileTimeUnitsPerMinute));
    return std::to_string(std::int64_t(minutes));
}

}  // namespace quorvane::convert
