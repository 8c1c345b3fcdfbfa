// The fixed-point bulk projection of one frame.
#include "render/frame/frame_internal.hpp"
#include "render/raster/numbers.hpp"

namespace tevo::frame {

namespace {
constexpr int32_t kFirstMinorUpper = 108;
constexpr int32_t kLastMinorUpper = 111;
constexpr int32_t kLastMinorArea = 32;
constexpr size_t kGrowStep = 32;
} // namespace

bool isMinorArea(int32_t type) {
    return type <= kLastMinorArea || (type >= kFirstMinorUpper && type <= kLastMinorUpper);
}

GroundPoint Bulk::ground(int32_t x, int32_t y) const {
    return {num::truncInt(static_cast<double>(((int64_t{x} - cx) * a) >> shift)),
            num::truncInt(static_cast<double>(((int64_t{y} - cy) * b) >> shift))};
}

ScreenPoint Bulk::eco2D(int32_t x, int32_t y) const {
    const GroundPoint g = ground(x, y);
    const FixedMatrix& r = view.frameMatrix;
    const int64_t u = (int64_t{r[0]} * g.u + int64_t{r[1]} * g.v) >> kFixedShift;
    const int64_t v = (int64_t{r[3]} * g.u + int64_t{r[4]} * g.v) >> kFixedShift;
    return {num::addSat(view.ecoX, u), num::addSat(view.ecoY, v)};
}

void Bulk::ecoPoints(const MapPoint* p, size_t n, std::vector<ScreenPoint>& out) const {
    out.resize(n);
    for (size_t i = 0; i < n; ++i) out[i] = eco2D(p[i].x, p[i].y);
}

void Bulk::groundPoints(const MapPoint* p, size_t n, std::vector<GroundPoint>& out) const {
    out.resize(n);
    for (size_t i = 0; i < n; ++i) out[i] = ground(p[i].x, p[i].y);
}

void Bulk::boxEco(const cPolyLine& o, ScreenPoint out[4]) const {
    out[0] = eco2D(o.minX, o.minY);
    out[1] = eco2D(o.maxX, o.minY);
    out[2] = eco2D(o.maxX, o.maxY);
    out[3] = eco2D(o.minX, o.maxY);
}

void Bulk::boxGround(const cPolyLine& o, GroundPoint out[4]) const {
    out[0] = ground(o.minX, o.minY);
    out[1] = ground(o.maxX, o.minY);
    out[2] = ground(o.maxX, o.maxY);
    out[3] = ground(o.minX, o.maxY);
}

bool Bulk::boxPerspective(const cPolyLine& o, std::vector<ScreenPoint>& out) const {
    GroundPoint corners[4];
    boxGround(o, corners);
    return projectPolygon(*view.camera, &view.frameMatrix, corners, 4, view.nearZ, view.farZ, out);
}

bool Bulk::meetsViewport(const BoundsI& box) const {
    return box.maxX >= viewport.left && box.minX <= viewport.right && box.maxY >= viewport.top &&
           box.minY <= viewport.bottom;
}

void Bulk::reserveFirst(size_t n) const {
    std::vector<ScreenPoint>& p = view.points;
    const size_t capacity = p.capacity();
    if (capacity >= n) return;
    p.reserve(n - capacity > kGrowStep - 1 ? n : capacity + kGrowStep);
}

} // namespace tevo::frame
