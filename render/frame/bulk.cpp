// The fixed-point bulk projection of one frame: map units to view-centred
// ground pixels with the frame's scales as integers of `shift` fractional
// bits, and from there to the Eco screen.
#include "render/frame/frame_view.hpp"

#include "render/raster/numbers.hpp"
#include "render/raster/projection.hpp"

#include <limits>

namespace tevo {

namespace {

constexpr float kFixedMultiplier = 1024.0f;
constexpr float kDirectShiftLimit = 8.0f;
constexpr float kSmallestScale = 1e-7f;
constexpr int32_t kFixedBits = 10;
constexpr int32_t kWordBits = 31;

} // namespace

int32_t bulkShift(float s, int64_t mapWidth) {
    // Large scales keep 10 fractional bits.
    const float v = s * kFixedMultiplier;
    if (v >= kDirectShiftLimit) return kFixedBits;
    // Too small to hold.
    if (!(v >= kSmallestScale)) return -1;
    const float q = kDirectShiftLimit / v;
    if (!(q < static_cast<float>(std::numeric_limits<int32_t>::max()))) return -1;
    // One bit more for every halving of 8 / v.
    int32_t n = 1;
    for (int32_t t = static_cast<int32_t>(q); t > 1; t >>= 1) ++n;
    // Room for the map's width.
    const double e = static_cast<double>(0xFFFFFFFFu >> (n + 1));
    double g = e * kDirectShiftLimit / v;
    const double width = static_cast<double>(mapWidth);
    int32_t extra = 0;
    while (g < width && extra <= kWordBits) {
        g *= 2;
        ++extra;
    }
    // The shift, when it leaves room in 32 bits.
    if (extra + n + kFixedBits > kWordBits) return -1;
    return n + kFixedBits;
}

GroundPoint FrameView::ground(int32_t x, int32_t y) const {
    return {num::truncInt(static_cast<double>(((int64_t{x} - centre.x) * bulkX) >> shift)),
            num::truncInt(static_cast<double>(((int64_t{y} - centre.y) * bulkY) >> shift))};
}

ScreenPoint FrameView::eco2D(int32_t x, int32_t y) const {
    const GroundPoint g = ground(x, y);
    const FixedMatrix& r = matrix;
    const int64_t u = (int64_t{r[0]} * g.u + int64_t{r[1]} * g.v) >> kFixedShift;
    const int64_t v = (int64_t{r[3]} * g.u + int64_t{r[4]} * g.v) >> kFixedShift;
    return {num::addSat(ecoOrigin.x, u), num::addSat(ecoOrigin.y, v)};
}

void FrameView::ecoPoints(const MapPoint* p, size_t n, std::vector<ScreenPoint>& out) const {
    out.resize(n);
    for (size_t i = 0; i < n; ++i) out[i] = eco2D(p[i].x, p[i].y);
}

void FrameView::groundPoints(const MapPoint* p, size_t n, std::vector<GroundPoint>& out) const {
    out.resize(n);
    for (size_t i = 0; i < n; ++i) out[i] = ground(p[i].x, p[i].y);
}

void FrameView::boxEco(const cPolyLine& o, ScreenPoint out[4]) const {
    out[0] = eco2D(o.minX, o.minY);
    out[1] = eco2D(o.maxX, o.minY);
    out[2] = eco2D(o.maxX, o.maxY);
    out[3] = eco2D(o.minX, o.maxY);
}

void FrameView::boxGround(const cPolyLine& o, GroundPoint out[4]) const {
    out[0] = ground(o.minX, o.minY);
    out[1] = ground(o.maxX, o.minY);
    out[2] = ground(o.maxX, o.maxY);
    out[3] = ground(o.minX, o.maxY);
}

bool FrameView::boxPerspective(const cPolyLine& o, std::vector<ScreenPoint>& out) const {
    GroundPoint corners[4];
    boxGround(o, corners);
    return projectPolygon(*camera, &matrix, corners, 4, nearZ, farZ, out);
}

} // namespace tevo
