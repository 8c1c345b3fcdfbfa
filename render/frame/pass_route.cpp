// The route on the map: a wide line in the style's route colours, drawn
// after the last block's roads and buildings, under the tracks and the
// names. In Eco it
// is a plain polyline; in perspective each piece is a band on the ground,
// which in "3D" hides behind the buildings through the depth buffer.
#include "render/frame/passes.hpp"

#include "render/raster/numbers.hpp"
#include "render/raster/projection.hpp"

#include <cmath>

namespace tevo::frame {

namespace {

// The route's line type in the style; a style without it gets these.
constexpr int32_t kRouteLineType = 0x48;
constexpr LineStyle kDefaultRoute{kRouteLineType, 0, 11, 0x8A3A10, 0, 7, 0xF0A030};
// The inner band is raised this much in depth so that it wins over the
// outer band drawn at the same place a moment before.
constexpr float kInnerBias = 1.02f;

// The route starts at the vehicle's place on the route at the last fix; the
// pointer glides there over the interval to the next fix. Up to this many
// metres behind, the line reaches back to the pointer, so that it never
// starts ahead of the vehicle.
constexpr double kJoinMetres = 60;

bool joinsVehicle(const FrameView& f) {
    if (!f.followed.isSet() || !(f.scale > 0)) return false;
    const GroundPoint a = f.ground(f.followed.x, f.followed.y);
    const GroundPoint b = f.ground(f.route->front().x, f.route->front().y);
    const double gap = std::hypot(static_cast<double>(a.u) - b.u, static_cast<double>(a.v) - b.v);
    return gap <= kJoinMetres * f.scale;
}

LineStyle routeStyle(const FrameView& f) {
    const LineStyle s = f.style ? f.style->lineStyle(kRouteLineType) : kDefaultRoute;
    return s.width > 0 ? s : kDefaultRoute;
}

void drawEco(const FrameView& f, FrameCanvas& c, const LineStyle& s) {
    const std::vector<MapPoint>& line = *f.route;
    c.reservePoints(line.size());
    f.ecoPoints(line.data(), line.size(), c.points);
    if (joinsVehicle(f)) c.points.insert(c.points.begin(), f.eco2D(f.followed.x, f.followed.y));
    cPainter& painter = c.painter;
    painter.setDashPattern(cPainter::kSolid);
    const auto stroke = [&](int32_t colour, int32_t width) {
        painter.setLineColour(painter.mapColour(static_cast<uint32_t>(colour)));
        painter.setLineWidth(width);
        painter.drawPolyline(static_cast<int>(c.points.size()), c.points.data());
    };
    stroke(s.colour, s.width);
    if (s.width2 > 0) stroke(s.colour2, s.width2);
}

// The depth plane of the ground in this frame, from three of its points.
DepthPlane groundPlane(const FrameView& f, const cPainter& painter) {
    const int32_t h = f.camera->height();
    constexpr int32_t kSpan = 1024;
    return depthPlane(toCamera(&f.matrix, 0, 0, h), toCamera(&f.matrix, kSpan, 0, h),
                      toCamera(&f.matrix, 0, kSpan, h), *f.camera,
                      static_cast<float>(painter.depth().maxDepth()));
}

// One piece of the line as a band `half` pixels either side of it, carried
// on by `half` at both ends so that the pieces close over their corners.
void fillBand(const FrameView& f, FrameCanvas& c, GroundPoint a, GroundPoint b, float half,
              const DepthPlane* plane) {
    const double du = static_cast<double>(b.u) - a.u, dv = static_cast<double>(b.v) - a.v;
    const double length = std::hypot(du, dv);
    if (length < 0.5) return;
    const double eu = du / length * half, ev = dv / length * half;
    const auto at = [](double u, double v) {
        return GroundPoint{num::truncInt(u), num::truncInt(v)};
    };
    const GroundPoint band[4] = {at(a.u - eu - ev, a.v - ev + eu), at(b.u + eu - ev, b.v + ev + eu),
                                 at(b.u + eu + ev, b.v + ev - eu),
                                 at(a.u - eu + ev, a.v - ev - eu)};
    if (!projectPolygon(*f.camera, &f.matrix, band, 4, f.nearZ, f.farZ, c.clipped)) return;
    const int n = static_cast<int>(c.clipped.size());
    if (plane)
        c.painter.fillPolygonDepth(c.clipped.data(), n, plane->a, plane->b, plane->c);
    else
        c.painter.fillPolygon(c.clipped.data(), n);
}

void drawPerspective(const FrameView& f, FrameCanvas& c, const LineStyle& s) {
    const std::vector<MapPoint>& line = *f.route;
    f.groundPoints(line.data(), line.size(), c.ground);
    if (joinsVehicle(f)) c.ground.insert(c.ground.begin(), f.ground(f.followed.x, f.followed.y));
    cPainter& painter = c.painter;
    const bool depth = f.raised && painter.depth().hasStorage();
    DepthPlane plane = depth ? groundPlane(f, painter) : DepthPlane{};
    const auto band = [&](int32_t colour, int32_t width) {
        painter.setFillColour(painter.mapColour(static_cast<uint32_t>(colour)));
        const float half = static_cast<float>(width) / 2;
        for (size_t i = 1; i < c.ground.size(); ++i)
            fillBand(f, c, c.ground[i - 1], c.ground[i], half, depth ? &plane : nullptr);
    };
    band(s.colour, s.width);
    if (s.width2 <= 0) return;
    plane = {plane.a * kInnerBias, plane.b * kInnerBias, plane.c * kInnerBias};
    band(s.colour2, s.width2);
}

} // namespace

void drawRoute(const FrameView& f, FrameCanvas& c) {
    if (!f.route || f.route->size() < 2) return;
    const LineStyle s = routeStyle(f);
    if (f.eco)
        drawEco(f, c, s);
    else
        drawPerspective(f, c, s);
}

} // namespace tevo::frame
