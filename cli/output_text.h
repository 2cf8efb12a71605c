// SPDX-License-Identifier: Apache-2.0
// How the tool writes text that comes from files and file names: JSON and CSV output is always
// valid UTF-8 (RFC 3629), with U+FFFD for each byte that is not part of a valid sequence; text
// lines escape control characters so that every value stays on its own line.
#pragma once

#include <string>
#include <string_view>

namespace quorvane::cli {

// `bytes` with every byte that does not belong to a valid UTF-8 sequence replaced by U+FFFD
// (one replacement per byte); valid text comes back unchanged.
std::string validUtf8(std::string_view bytes);

// The bytes as lower-case hex digits, two per byte ("d0ff").
std::string hexOfBytes(std::string_view bytes);

// `text` for one line of text output: backslash as "\\", LF, TAB and CR as "\n", "\t", "\r",
// every other C0 control and DEL as "\xHH", C1 controls (U+0080-U+009F) as "\u00HH", and each
// byte that is not valid UTF-8 as "\xHH"; everything else unchanged.
std::string escapedForLine(std::string_view text);

}  // namespace quorvane::cli
