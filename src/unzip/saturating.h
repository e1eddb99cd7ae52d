// Sums of sizes that hostile directories could push past what they are held in.
#pragma once

#include <cstdint>
#include <limits>

namespace unzip {

// total + add for non-negative operands, held at INT64_MAX.
inline int64_t AddSaturated(int64_t total, int64_t add) {
    const int64_t room = std::numeric_limits<int64_t>::max() - total;
    return add > room ? std::numeric_limits<int64_t>::max() : total + add;
}

} // namespace unzip
