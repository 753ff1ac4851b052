// Bringing wide results back to 32 bits. Sizes and positions are worked in 64
// bits or in doubles so that no intermediate step can overflow; these hold the
// final value inside the range of a 32-bit signed integer.
#pragma once

#include <algorithm>
#include <cstdint>

inline int32_t ClampToInt32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// Truncation toward zero, held inside the 32-bit range; NaN gives 0.
inline int32_t TruncateToInt32(double value) {
    if (!(value == value))
        return 0;
    if (value >= 2147483647.0)
        return INT32_MAX;
    if (value <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}
