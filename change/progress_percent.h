// SPDX-License-Identifier: Apache-2.0
// The percentage a run shows after `done` of `total` files: rounded to the nearest whole number,
// a half to the even neighbour (1 of 8 shows 12, 3 of 8 shows 38, 23 of 40 shows 58).
#pragma once

#include <cstdint>

namespace quorvane::change {

// Computed in integers: done/total*100 in floating point lands just beside an exact half (57.5
// becomes 57.49999...) and rounds the wrong way. A total of 0 or less shows 100; a negative
// `done` counts as 0.
inline int progressPercent(int done, int total)
{
    if (total <= 0) return 100;
    const std::int64_t scaled = 100 * std::int64_t(done < 0 ? 0 : done);
    const std::int64_t quotient = scaled / total;
    const std::int64_t twiceRemainder = 2 * (scaled % total);
    const bool roundUp = twiceRemainder > total || (twiceRemainder == total && quotient % 2 == 1);
    return int(quotient + (roundUp ? 1 : 0));
}

}  // namespace quorvane::change
