#include "render/raster/projection.hpp"

#include <algorithm>
#include <cmath>

namespace tevo {

namespace {

// Projected coordinates stay well inside 32 bits.
constexpr int64_t kScreenLimit = int64_t{1} << 30;

int32_t saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

int32_t truncToInt(float v) {
    if (std::isnan(v)) return 0;
    return saturate(static_cast<int64_t>(std::clamp(v, -9.0e18f, 9.0e18f)));
}

// The point of the edge p -> c at depth `limit`.
CameraPoint crossing(const CameraPoint& p, const CameraPoint& c, int32_t limit) {
    const float t =
        static_cast<float>(int64_t{limit} - p.z) / static_cast<float>(int64_t{c.z} - p.z);
    return {saturate(p.x + int64_t{truncToInt(static_cast<float>(int64_t{c.x} - p.x) * t)}),
            saturate(p.y + int64_t{truncToInt(static_cast<float>(int64_t{c.y} - p.y) * t)}), limit};
}

// The clipping rule for the edge from p to c against n..F, in its order of
// cases; emits the points the edge contributes.
template <class Emit>
void clipEdge(const CameraPoint& p, const CameraPoint& c, int32_t n, int32_t f, Emit&& emit) {
    if (n > f) return; // an empty depth range keeps nothing
    if (n <= p.z && p.z <= f) {
        // From inside: leave through far or near, or stay.
        if (c.z > f)
            emit(crossing(p, c, f));
        else if (c.z < n)
            emit(crossing(p, c, n));
        else
            emit(c);
    } else if (p.z < n && c.z >= n) {
        // From the near side inward.
        emit(crossing(p, c, n));
        if (c.z > f)
            emit(crossing(p, c, f));
        else
            emit(c);
    } else if (p.z > f && c.z <= f) {
        // From beyond far inward.
        emit(crossing(p, c, f));
        if (c.z < n)
            emit(crossing(p, c, n));
        else
            emit(c);
    }
    // Both ends on one outer side: nothing.
}

} // namespace

CameraPoint toCamera(const FixedMatrix* m, int32_t u, int32_t v, int32_t h) {
    if (m == nullptr) return {u, v, h};
    const FixedMatrix& r = *m;
    const auto rowDot = [&](int i) {
        return saturate((int64_t{r[i]} * u + int64_t{r[i + 1]} * v + int64_t{r[i + 2]} * h) >>
                        kFixedShift);
    };
    return {rowDot(0), rowDot(3), rowDot(6)};
}

bool projectPoint(const CameraPoint& p, const Camera& camera, ScreenPoint& out) {
    if (p.z <= 0) return false;
    const int64_t x = int64_t{p.x} * camera.focal / p.z + camera.principalX;
    const int64_t y = int64_t{p.y} * camera.focal / p.z + camera.principalY;
    out = {static_cast<int32_t>(std::clamp(x, -kScreenLimit, kScreenLimit)),
           static_cast<int32_t>(std::clamp(y, -kScreenLimit, kScreenLimit))};
    return true;
}

void clipDepth(const CameraPoint* points, int count, bool closed, int32_t nearZ, int32_t farZ,
               std::vector<CameraPoint>& out) {
    out.clear();
    if (points == nullptr || count <= 0) return;
    const auto emit = [&](const CameraPoint& q) { out.push_back(q); };
    if (!closed && nearZ <= points[0].z && points[0].z <= farZ) emit(points[0]);
    const int edges = closed ? count : count - 1;
    for (int i = 0; i < edges; ++i)
        clipEdge(points[i], points[i + 1 == count ? 0 : i + 1], nearZ, farZ, emit);
}

bool projectPolygon(const Camera& camera, const FixedMatrix* matrix, const GroundPoint* ground,
                    int count, int32_t nearZ, int32_t farZ, std::vector<ScreenPoint>& out) {
    out.clear();
    if (ground == nullptr || count <= 0) return false;
    const int32_t h = camera.height();
    const auto emit = [&](const CameraPoint& q) {
        ScreenPoint s;
        if (!projectPoint(q, camera, s)) return;
        if (!out.empty() && out.back() == s) return;
        out.push_back(s);
    };
    const CameraPoint first = toCamera(matrix, ground[0].u, ground[0].v, h);
    if (count == 1) {
        if (nearZ <= first.z && first.z <= farZ) emit(first);
        return !out.empty();
    }
    CameraPoint prev = first;
    for (int i = 1; i <= count; ++i) {
        const CameraPoint cur = i == count ? first : toCamera(matrix, ground[i].u, ground[i].v, h);
        clipEdge(prev, cur, nearZ, farZ, emit);
        prev = cur;
    }
    return out.size() > 2;
}

bool projectPolygonCamera(const Camera& camera, const CameraPoint* points, int count, int32_t nearZ,
                          int32_t farZ, std::vector<ScreenPoint>& out) {
    out.clear();
    if (points == nullptr || count <= 0) return false;
    const auto emit = [&](const CameraPoint& q) {
        ScreenPoint s;
        if (projectPoint(q, camera, s)) out.push_back(s);
    };
    if (count == 1) {
        if (points[0].z >= 1) emit(points[0]);
        return !out.empty();
    }
    for (int i = 0; i < count; ++i)
        clipEdge(points[i], points[i + 1 == count ? 0 : i + 1], nearZ, farZ, emit);
    return out.size() > 2;
}

bool projectPolyline(const Camera& camera, const FixedMatrix& matrix, const GroundPoint* ground,
                     int count, int32_t nearZ, int32_t farZ, std::vector<ScreenPoint>& out) {
    out.clear();
    if (ground == nullptr || count <= 0) return false;
    const int32_t h = camera.height();
    const auto emit = [&](const CameraPoint& q) {
        ScreenPoint s;
        if (projectPoint(q, camera, s)) out.push_back(s);
    };
    CameraPoint prev = toCamera(&matrix, ground[0].u, ground[0].v, h);
    if (nearZ <= prev.z && prev.z <= farZ) emit(prev);
    for (int i = 1; i < count; ++i) {
        const CameraPoint cur = toCamera(&matrix, ground[i].u, ground[i].v, h);
        clipEdge(prev, cur, nearZ, farZ, emit);
        prev = cur;
    }
    return out.size() > 1;
}

DepthPlane depthPlane(const CameraPoint& p0, const CameraPoint& p1, const CameraPoint& p2,
                      const Camera& camera, float scale) {
    // Differences and products in double: 32-bit coordinates would overflow.
    const double x10 = static_cast<double>(p0.x) - p1.x, y10 = static_cast<double>(p0.y) - p1.y,
                 z10 = static_cast<double>(p0.z) - p1.z;
    const double x21 = static_cast<double>(p2.x) - p1.x, y21 = static_cast<double>(p2.y) - p1.y,
                 z21 = static_cast<double>(p2.z) - p1.z;
    const double o = y21 * x10 - x21 * y10; // normal, z
    const double g = x21 * z10 - z21 * x10; // normal, y
    const double b = z21 * y10 - y21 * z10; // normal, x
    const float r = static_cast<float>(p0.z * o + p0.y * g + p0.x * b);
    if (std::fabs(r) < 1 || camera.focal == 0) return {};
    const float f = static_cast<float>(camera.focal);
    DepthPlane plane;
    plane.a = scale * static_cast<float>(b) / r / f;
    plane.b = scale * static_cast<float>(g) / r / f;
    plane.c = scale * static_cast<float>(o) / r - plane.a * static_cast<float>(camera.principalX) -
              plane.b * static_cast<float>(camera.principalY);
    return plane;
}

bool facesCamera(const CameraPoint points[4]) {
    const CameraPoint& p0 = points[0];
    const CameraPoint& p1 = points[1];
    const CameraPoint& p2 = points[2];
    // Exact: the triple product of 32-bit points needs up to 97 bits.
    using Wide = __int128;
    const Wide dx = Wide{p2.x} - p1.x, dy = Wide{p2.y} - p1.y, dz = Wide{p2.z} - p1.z;
    const Wide dx0 = Wide{p0.x} - p1.x, dy0 = Wide{p0.y} - p1.y, dz0 = Wide{p0.z} - p1.z;
    const Wide sum =
        p0.x * (dy0 * dz - dz0 * dy) + p0.y * (dz0 * dx - dx0 * dz) + p0.z * (dx0 * dy - dy0 * dx);
    return sum > 0;
}

} // namespace tevo
