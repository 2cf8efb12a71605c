// The percentage a run shows after `done` of `total` files: rounded to the nearest whole number,
// a half to the even neighbour (1 of 8 shows 12, 3 of 8 shows 38).
#pragma once

#include <cmath>

namespace quorvane::change {

inline int progressPercent(int done, int total)
{
    if (total <= 0) return 100;
    return int(std::nearbyint(double(done) / double(total) * 100.0));
}

}  // namespace quorvane::change
