// Filled discs and rings, one span per row from the square-root table.
#include "render/raster/painter.hpp"

#include <algorithm>

namespace tevo {

namespace {

// The part of the square (cx +- r, cy +- r) inside the clip rectangle.
PixelRect clippedSquare(int64_t r, int64_t cx, int64_t cy, const PixelRect& clip) {
    const int64_t left = std::max<int64_t>(cx - r, clip.left);
    const int64_t top = std::max<int64_t>(cy - r, clip.top);
    const int64_t right = std::min<int64_t>(cx + r, clip.right);
    const int64_t bottom = std::min<int64_t>(cy + r, clip.bottom);
    if (left > right || top > bottom) return {};
    return {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
            static_cast<int32_t>(bottom)};
}

// Half the width of the circle of radius r on the row t below its centre.
int64_t halfWidth(int64_t r, int64_t t) {
    return isqrt(r * r - t * t);
}

} // namespace

bool cPainter::fillDisc(int32_t radius, int32_t cx, int32_t cy) {
    if (pixels_ == nullptr || radius < 0) return false;
    const PixelRect box = clippedSquare(radius, cx, cy, clip_);
    if (box.empty()) return false;
    BusyGuard guard(*this);
    if (!prepareSpan(fillColour_, box.right - box.left + 1)) return false;
    for (int32_t y = box.top; y <= box.bottom; ++y) {
        const int64_t h = halfWidth(radius, int64_t{y} - cy);
        const int64_t xl = std::max<int64_t>(cx - h, clip_.left);
        const int64_t xr = std::min<int64_t>(cx + h, clip_.right);
        if (xl <= xr) span(y, static_cast<int32_t>(xl), static_cast<int32_t>(xr));
    }
    return true;
}

bool cPainter::fillRing(int32_t innerRadius, int32_t outerRadius, int32_t cx, int32_t cy) {
    if (pixels_ == nullptr || outerRadius < innerRadius || outerRadius < 0) return false;
    const PixelRect box = clippedSquare(outerRadius, cx, cy, clip_);
    if (box.empty()) return false;
    BusyGuard guard(*this);
    if (!prepareSpan(fillColour_, box.right - box.left + 1)) return false;
    const auto put = [&](int32_t y, int64_t xl, int64_t xr) {
        xl = std::max<int64_t>(xl, clip_.left);
        xr = std::min<int64_t>(xr, clip_.right);
        if (xl <= xr) span(y, static_cast<int32_t>(xl), static_cast<int32_t>(xr));
    };
    for (int32_t y = box.top; y <= box.bottom; ++y) {
        const int64_t t = int64_t{y} - cy;
        const int64_t ho = halfWidth(outerRadius, t);
        if (t < -int64_t{innerRadius} || t > innerRadius) {
            put(y, cx - ho, cx + ho);
            continue;
        }
        // The row crosses the hole: the two pieces either side of it.
        const int64_t hi = halfWidth(innerRadius, t);
        put(y, cx - ho, cx - hi - 1);
        put(y, cx + hi + 1, cx + ho);
    }
    return true;
}

} // namespace tevo
