// SPDX-License-Identifier: Apache-2.0
// The little JSON the tool prints: strings escaped as RFC 8259 requires (valid UTF-8 passed
// through, control characters as \uXXXX).
#pragma once

#include <string>
#include <string_view>

namespace quorvane::cli {

// `text` as a JSON string literal, quotes included; bytes that are not valid UTF-8 become U+FFFD
// (cli/output_text.h), so the literal is always valid UTF-8.
std::string jsonString(std::string_view text);

}  // namespace quorvane::cli
