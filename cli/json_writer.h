// The little JSON the tool prints: strings escaped as RFC 8259 requires (UTF-8 passed through,
// control characters as \uXXXX).
#pragma once

#include <string>
#include <string_view>

namespace quorvane::cli {

// `text` as a JSON string literal, quotes included.
std::string jsonString(std::string_view text);

}  // namespace quorvane::cli
