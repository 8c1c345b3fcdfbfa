// The first pass: the areas, with their names.
#include "render/frame/passes.hpp"

#include "render/raster/projection.hpp"

namespace tevo::frame {

namespace {

constexpr int32_t kFirstMinorUpper = 108;
constexpr int32_t kLastMinorUpper = 111;
constexpr int32_t kLastMinorArea = 32;
// Areas of the minor types smaller than this in both directions are left out.
constexpr int32_t kSmallestMinorArea = 9;

bool tooSmall(const cPolyLine& o, const PixelRect& box) {
    return isMinorArea(o.type) && box.right - box.left <= kSmallestMinorArea &&
           box.bottom - box.top <= kSmallestMinorArea;
}

bool fillEco(const FrameView& f, FrameCanvas& c, const cPolyLine& o, ScreenPoint& anchor) {
    const size_t n = o.points.size();
    PixelRect box;
    if (n > kBoxCullPoints) {
        ScreenPoint corners[4];
        f.boxEco(o, corners);
        box = boundsOfPoints(corners, 4);
        if (!f.viewport.meets(box)) return false;
    }
    c.reservePoints(n);
    f.ecoPoints(o.points.data(), n, c.points);
    if (n <= kBoxCullPoints) box = boundsOfPoints(c.points.data(), static_cast<int>(n));
    if (!f.viewport.meets(box) || tooSmall(o, box)) return false;
    if (!c.painter.fillPolygon(c.points.data(), static_cast<int>(n))) return false;
    anchor = {static_cast<int32_t>((int64_t{box.left} + box.right) / 2),
              static_cast<int32_t>((int64_t{box.top} + box.bottom) / 2)};
    return true;
}

bool fillPerspective(const FrameView& f, FrameCanvas& c, const cPolyLine& o, ScreenPoint& anchor) {
    const size_t n = o.points.size();
    std::vector<ScreenPoint>& out = c.clipped;
    bool boxed = false;
    if (n > kBoxCullPoints) {
        if (!f.boxPerspective(o, out)) return false;
        const PixelRect box = boundsOfPoints(out.data(), static_cast<int>(out.size()));
        if (!f.viewport.meets(box) || tooSmall(o, box)) return false;
        anchor = centroid(out.data(), static_cast<int>(out.size()));
        boxed = true;
    }
    f.groundPoints(o.points.data(), n, c.ground);
    if (!projectPolygon(*f.camera, &f.matrix, c.ground.data(), static_cast<int>(n), f.nearZ, f.farZ,
                        out))
        return false;
    if (!boxed) {
        const PixelRect box = boundsOfPoints(out.data(), static_cast<int>(out.size()));
        if (tooSmall(o, box)) return false;
        anchor = centroid(out.data(), static_cast<int>(out.size()));
    }
    return c.painter.fillPolygon(out.data(), static_cast<int>(out.size()));
}

} // namespace

bool isMinorArea(int32_t type) {
    return type <= kLastMinorArea || (type >= kFirstMinorUpper && type <= kLastMinorUpper);
}

bool fillArea(const FrameView& f, FrameCanvas& c, const cPolyLine& o, ScreenPoint& anchor) {
    return f.eco ? fillEco(f, c, o, anchor) : fillPerspective(f, c, o, anchor);
}

void drawPolygons(const FrameView& f, FrameCanvas& c, const cIndexBlock& block) {
    for (const auto& objects : block.loaded()) {
        for (const auto& o : objects->polygons) {
            if (o->points.empty()) continue;
            const auto colour = static_cast<uint32_t>(f.style->areaStyle(o->type).colour);
            c.painter.setFillColour(c.painter.mapColour(colour));
            ScreenPoint anchor;
            if (!fillArea(f, c, *o, anchor) || o->name.empty()) continue;
            if (f.viewport.contains(anchor.x, anchor.y))
                c.overlays.addAreaName(anchor, o->name, o->type, false);
        }
    }
}

} // namespace tevo::frame
