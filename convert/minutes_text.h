// SPDX-License-Identifier: Apache-2.0
// The total editing time: whole minutes as text, a signed FILETIME span of 100-ns units in
// .ppt property sets (600,000,000 units a minute).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvane::convert {

// The span of a signed 32-bit decimal minutes text; 0 when the text is not such a number.
std::int64_t MinutesTextToFileTimeSpan(std::string_view minutesText);

// The whole minutes of a span, rounded half to even, in decimal.
std::string FileTimeSpanToMinutesText(std::int64_t span100ns);

}  // namespace quorvane::convert
