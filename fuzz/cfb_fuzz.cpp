// SPDX-License-Identifier: Apache-2.0
// The compound-file engine on any bytes: open, check the allocation, walk the directory and read
// every reachable stream, as a reader of a damaged .ppt would.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "cfb/cfb_compound_file.h"
#include "propset/propset_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quorvane;
    const auto* first = reinterpret_cast<const std::byte*>(data);
    MemoryFile file(std::vector<std::byte>(first, first + size));
    auto opened = cfb::CompoundFile::open(file);
    if (!opened.ok()) return 0;
    cfb::CompoundFile* compound = &opened.value();
    (void)compound->checkAllocation();
    (void)compound->directory().childrenOf(0);
    if (const auto streams = compound->directory().reachableStreams())
        for (std::uint32_t entryId : *streams)
            (void)compound->readStream(entryId, propset::kMaxPropertySetStreamBytes);
    (void)compound->findRootStream(u"\x05SummaryInformation");
    return 0;
}
