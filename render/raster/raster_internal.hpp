// Pieces shared by the painter's stages; not part of the render interface.
#pragma once

#include "render/raster/geometry.hpp"

#include <cstdint>

namespace tevo::raster {

// Region of a point against the clip rectangle: 1 above-left, 2 above,
// 3 above-right, 4 right, 5 below-right, 6 below, 7 below-left, 8 left,
// 9 inside.
enum Region : int {
    kAboveLeft = 1,
    kAbove = 2,
    kAboveRight = 3,
    kRight = 4,
    kBelowRight = 5,
    kBelow = 6,
    kBelowLeft = 7,
    kLeft = 8,
    kInside = 9
};

inline int regionCode(int64_t x, int64_t y, const PixelRect& c) {
    if (y < c.top) return x < c.left ? kAboveLeft : (x > c.right ? kAboveRight : kAbove);
    if (y > c.bottom) return x < c.left ? kBelowLeft : (x > c.right ? kBelowRight : kBelow);
    return x < c.left ? kLeft : (x > c.right ? kRight : kInside);
}

// Division rounding toward plus infinity; b > 0.
inline __int128 ceilDiv(__int128 a, __int128 b) {
    return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

// Square root of a value that may exceed 64 bits, with the rules of isqrt.
int64_t isqrtWide(unsigned __int128 v);

} // namespace tevo::raster
