// SPDX-License-Identifier: Apache-2.0
#include "tests/support/dual_storage.h"

#include "base/random_access_file.h"
#include "tests/support/cfb_builder.h"
#include "tests/support/cfb_streams.h"
#include "tests/support/corpus.h"

namespace quorvane::testing {

std::vector<std::byte> withDualStorage(const std::filesystem::path& ppt, bool damagedSummaryCopy)
{
    const std::string bytes = readFileBytes(ppt);
    MemoryFile file(std::vector<std::byte>(reinterpret_cast<const std::byte*>(bytes.data()),
                                           reinterpret_cast<const std::byte*>(bytes.data()) + bytes.size()));
    const auto streams = readRootStreams(file);
    if (!streams) return {};
    CfbLayout layout;
    CfbStorageSpec dualStorage{u"PP97_DUALSTORAGE", {}};
    for (const auto& [name, data] : *streams) {
        layout.streams.push_back({name, data});
        if (name == u"\x05SummaryInformation" || name == u"\x05" u"DocumentSummaryInformation" || name == u"Current User")
            dualStorage.streams.push_back({name, data});
    }
    if (damagedSummaryCopy)
        for (CfbStreamSpec& copy : dualStorage.streams)
            if (copy.name == u"\x05SummaryInformation") copy.data[0] = std::byte{0};
    layout.storages.push_back(std::move(dualStorage));
    return buildCompoundFile(layout);
}

}  // namespace quorvane::testing
