// SPDX-License-Identifier: Apache-2.0
// The UTF-8 sequences of a text, one at a time (RFC 3629, section 4).
#pragma once

#include <cstddef>
#include <string_view>

namespace quorvane::convert {

// The length of the valid UTF-8 sequence at the start of `bytes`, 0 when there is none (an empty
// text, a stray or missing continuation byte, an overlong form, a surrogate, a value past
// U+10FFFF); `codePoint` gets its value.
std::size_t validSequenceLength(std::string_view bytes, char32_t& codePoint);

// True when `bytes` is valid UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
bool isValidUtf8(std::string_view bytes);

}  // namespace quorvane::convert
