// SPDX-License-Identifier: Apache-2.0
#include "tests/support/cfb_streams.h"

#include <cstdio>

#include "cfb/cfb_compound_file.h"

namespace quorvane::testing {

std::optional<StreamMap> readRootStreams(RandomAccessFile& file)
{
    using namespace cfb;
    auto opened = CompoundFile::open(file);
    if (!opened.ok() || opened->checkAllocation().failed()) return std::nullopt;
    CompoundFile* compoundFile = &opened.value();
    const auto children = compoundFile->directory().childrenOf(kRootEntryId);
    if (!children) return std::nullopt;
    StreamMap streams;
    for (const std::uint32_t id : *children) {
        const DirEntry entry = compoundFile->directory().entry(id);
        if (!entry.isStream()) continue;
        auto bytes = compoundFile->readStream(id, UINT64_MAX);
        if (!bytes.ok()) return std::nullopt;
        streams[entry.name] = std::move(bytes).value();
    }
    return streams;
}

std::string printableName(const std::u16string& name)
{
    std::string text;
    for (const char16_t unit : name) {
        if (unit >= 0x20 && unit < 0x7F) {
            text += char(unit);
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02X", unsigned(unit));
            text += buffer;
        }
    }
    return text;
}

}  // namespace quorvane::testing
