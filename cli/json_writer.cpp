// SPDX-License-Identifier: Apache-2.0
#include "cli/json_writer.h"

#include <cstdio>

#include "cli/output_text.h"

namespace quorvane::cli {

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : validUtf8(text)) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", unsigned(static_cast<unsigned char>(c)));
                out += escape;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

}  // namespace quorvane::cli
