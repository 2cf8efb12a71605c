// SPDX-License-Identifier: Apache-2.0
// Walking a sector chain of the FAT or the MiniFAT ([MS-CFB] 2.3, 2.4) without trusting it:
// every step stays below the table's sector count and no sector is visited twice, so a
// looping or runaway chain ends in a clean failure after at most `bound` steps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "cfb/cfb_header.h"

namespace quorvane::cfb {

// With `count`: the first `count` sectors of the chain, ignoring what follows them. Without:
// the whole chain up to ENDOFCHAIN (empty when `start` is ENDOFCHAIN). nullopt when the chain
// reaches a sector >= `bound` (a free or special value included) or loops. `next(sector)`
// gives the table entry of a sector.
template <typename NextSector>
std::optional<std::vector<std::uint32_t>> walkChain(std::uint32_t start, std::uint32_t bound,
                                                    std::optional<std::size_t> count, NextSector next)
{
    if (count && *count > bound) return std::nullopt;
    std::vector<std::uint32_t> chain;
    std::vector<bool> seen(bound, false);
    for (std::uint32_t sector = start; count ? chain.size() < *count : sector != kEndOfChain; sector = next(sector)) {
        if (sector >= bound || seen[sector]) return std::nullopt;
        seen[sector] = true;
        chain.push_back(sector);
    }
    return chain;
}

}  // namespace quorvane::cfb
