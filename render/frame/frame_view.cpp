// Single points between the screen and the map in both projections, and the
// view centre that puts a map point at a screen point.
#include "render/frame/frame_view.hpp"

#include "render/raster/numbers.hpp"
#include "render/raster/projection.hpp"

#include <cmath>

namespace tevo {

namespace {

constexpr double kParallelRay = 0.01;

struct Vec3 {
    double x, y, z;
};

Vec3 times(const FloatMatrix& m, double x, double y, double z) {
    return {m[0] * x + m[1] * y + m[2] * z, m[3] * x + m[4] * y + m[5] * z,
            m[6] * x + m[7] * y + m[8] * z};
}

} // namespace

ViewPoint FrameView::centreFor(const ViewPoint& p, int32_t h, int32_t l) const {
    h = num::clampInt(h, viewport.left, viewport.right);
    l = num::clampInt(l, viewport.top, viewport.bottom);
    const int32_t f = camera->focal;
    int32_t vx = 0, vy = 0, vz = 0;
    if (eco) {
        const Vec3 v = times(cameraToWorld(yaw, 0), h - ecoOrigin.x, l - ecoOrigin.y, f);
        vx = num::truncInt(num::over(num::truncInt(v.x), scaleX));
        vy = num::truncInt(num::over(num::truncInt(v.y), scaleY));
        vz = num::truncInt(v.z);
    } else {
        const Vec3 v =
            times(cameraToWorld(yaw, pitch), h - camera->principalX, l - camera->principalY, f);
        const double c = num::over(f, v.z);
        vx = num::truncInt(num::over(c, scaleX) * v.x);
        vy = num::truncInt(num::over(c, scaleY) * v.y);
        vz = num::truncInt(v.z);
    }
    return {num::addSat(p.x, -int64_t{vx}), num::addSat(p.y, -int64_t{vy}),
            num::addSat(p.z, -int64_t{vz})};
}

ScreenHit FrameView::mapToScreen(int32_t x, int32_t y) const {
    // View-centred pixels.
    const int32_t a = num::truncInt(static_cast<double>(int64_t{x} - centre.x) * scaleX);
    const int32_t b = num::truncInt(static_cast<double>(int64_t{y} - centre.y) * scaleY);
    const FixedMatrix& r = matrix;
    if (eco) {
        // Eco: turned about the followed point's place.
        const int64_t u = (int64_t{r[0]} * a + int64_t{r[1]} * b) >> kFixedShift;
        const int64_t v = (int64_t{r[3]} * a + int64_t{r[4]} * b) >> kFixedShift;
        return {num::addSat(ecoOrigin.x, u), num::addSat(ecoOrigin.y, v), true};
    }
    // Perspective: only between the depth limits.
    const CameraPoint q = toCamera(&r, a, b, camera->height());
    ScreenPoint s;
    if (q.z < nearZ || q.z > farZ || !projectPoint(q, *camera, s)) return {0, 0, false};
    return {s.x, s.y, true};
}

GroundHit FrameView::screenToMap(int32_t sx, int32_t sy) const {
    GroundHit hit;
    double wx = 0, wy = 0;
    if (eco) {
        const double a = yaw * kDegreesToRadians;
        const double dx = sx - ecoOrigin.x, dy = sy - ecoOrigin.y;
        wx = num::truncInt(dx * std::cos(a) - dy * std::sin(a));
        wy = num::truncInt(dx * std::sin(a) + dy * std::cos(a));
    } else {
        const double X = sx - camera->principalX, Y = sy - camera->principalY;
        const double F = camera->focal;
        const double b = pitch * kDegreesToRadians;
        const double A = 0, B = std::sin(b), C = std::cos(b);
        const double D = A * X + B * Y + C * F;
        Vec3 p{};
        const double T = D > kParallelRay ? F * F / D : 0;
        if (D > kParallelRay && T <= farLimit) {
            p = {X * T / F, Y * T / F, T};
        } else {
            // Above the horizon or beyond the far limit: the far limit's point.
            p.z = farLimit;
            p.x = X * farLimit / F;
            p.y = num::over(F - C * farLimit - A * p.x, B);
            hit.offGround = true;
        }
        const Vec3 w = times(cameraToWorld(yaw, pitch), p.x, p.y, p.z);
        wx = w.x;
        wy = w.y;
    }
    hit.x = num::addSat(centre.x, num::truncInt(num::over(wx, scaleX)));
    hit.y = num::addSat(centre.y, num::truncInt(num::over(wy, scaleY)));
    return hit;
}

} // namespace tevo
