#include "render/raster/geometry.hpp"

#include <algorithm>

namespace tevo {

PixelRect intersect(const PixelRect& a, const PixelRect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

PixelRect boundsOfPoints(const ScreenPoint* points, int count) {
    if (points == nullptr || count <= 0) return {0, 0, 0, 0};
    PixelRect b{points[0].x, points[0].y, points[0].x, points[0].y};
    for (int i = 1; i < count; ++i) {
        b.left = std::min(b.left, points[i].x);
        b.top = std::min(b.top, points[i].y);
        b.right = std::max(b.right, points[i].x);
        b.bottom = std::max(b.bottom, points[i].y);
    }
    return b;
}

ScreenPoint centroid(const ScreenPoint* points, int count) {
    if (points == nullptr || count <= 0) return {-1, -1};
    // 64-bit sums: thousands of far-off points must not wrap.
    int64_t sx = 0, sy = 0;
    for (int i = 0; i < count; ++i) {
        sx += points[i].x;
        sy += points[i].y;
    }
    const float w = 1.0f / static_cast<float>(count);
    // Float rounding can lift a mean of INT32_MAX just past it.
    const auto mean = [w](int64_t sum) {
        const double v = static_cast<float>(sum) * w;
        return static_cast<int32_t>(std::clamp<double>(v, INT32_MIN, INT32_MAX));
    };
    return {mean(sx), mean(sy)};
}

} // namespace tevo
