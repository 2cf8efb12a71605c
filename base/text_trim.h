// SPDX-License-Identifier: Apache-2.0
// Cutting blanks and control characters (bytes up to 0x20) from both ends of a text: how values
// are trimmed before they are written, and how names and dates are read leniently.
#pragma once

#include <string_view>

namespace quorvane {

constexpr bool isBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

constexpr std::string_view trimBlanksAndControls(std::string_view text)
{
    while (!text.empty() && isBlankOrControl(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlankOrControl(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace quorvane
