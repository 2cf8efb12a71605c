// SPDX-License-Identifier: Apache-2.0
// The user.DOSATTRIB parser on any value: what it reads must encode and read back the same.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fileinfo/dos_attrib.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quorvane::fileinfo;
    const auto parsed = parseDosAttrib(std::span(reinterpret_cast<const std::byte*>(data), size));
    if (!parsed) return 0;
    const auto encoded = encodeDosAttrib(*parsed);
    const auto again = parseDosAttrib(encoded);
    if (!again || again->attributes != parsed->attributes) __builtin_trap();
    return 0;
}
