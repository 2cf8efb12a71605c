// SPDX-License-Identifier: Apache-2.0
// The ZIP directory reader and entry extraction on any bytes: every entry's names and data, with
// the inflate cap and the CRC check.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "zip/zip_central_dir.h"
#include "zip/zip_entry_extract.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quorvane;
    const auto* first = reinterpret_cast<const std::byte*>(data);
    MemoryFile file(std::vector<std::byte>(first, first + size));
    const auto directory = zip::ReadDirectory(file);
    if (!directory) return 0;
    const std::size_t count = zip::EntryCount(*directory);
    for (std::size_t i = 0; i < count && i < 64; ++i) {
        (void)zip::EntryFileName(*directory, i);
        (void)zip::EntryPathName(*directory, i);
        (void)zip::readLocalHeader(file, *directory, i);
        (void)zip::readEntryData(file, *directory, i);
    }
    (void)zip::ExtractEntryToMemory(file, *directory, " _RELS\\.rels ");
    return 0;
}
