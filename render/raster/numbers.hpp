// The float-to-integer conversions and saturating sums the stages of the
// renderer share: a map unit or a pixel never wraps round.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace tevo::num {

// Float to int32 truncated toward zero, saturated, NaN as 0.
inline int32_t truncInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (v <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

// a / b, or 0 when b is 0: a scale of zero maps nothing anywhere.
inline double over(double a, double b) {
    return b == 0 ? 0.0 : a / b;
}

inline int32_t clampInt(int32_t v, int32_t lo, int32_t hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

inline int32_t addSat(int32_t a, int64_t b) {
    return truncInt(static_cast<double>(int64_t{a} + b));
}

} // namespace tevo::num
