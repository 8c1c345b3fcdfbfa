// Pass 1: the areas, with their names.
#include "render/frame/frame_internal.hpp"

namespace tevo::frame {

namespace {

// Areas of the minor types smaller than this in both directions are left out.
constexpr int32_t kSmallestMinorArea = 9;

bool tooSmall(const cPolyLine& o, const BoundsI& box) {
    return isMinorArea(o.type) && box.maxX - box.minX <= kSmallestMinorArea &&
           box.maxY - box.minY <= kSmallestMinorArea;
}

bool fillEco(Bulk& bulk, const cPolyLine& o, ScreenPoint& anchor) {
    MapView& v = bulk.view;
    const size_t n = o.points.size();
    BoundsI box;
    if (n > kBoxCullPoints) {
        ScreenPoint corners[4];
        bulk.boxEco(o, corners);
        box = boundsOfPoints(corners, 4);
        if (!bulk.meetsViewport(box)) return false;
    }
    bulk.reserveFirst(n);
    bulk.ecoPoints(o.points.data(), n, v.points);
    if (n <= kBoxCullPoints) box = boundsOfPoints(v.points.data(), static_cast<int>(n));
    if (!bulk.meetsViewport(box) || tooSmall(o, box)) return false;
    if (!v.painter->fillPolygon(v.points.data(), static_cast<int>(n))) return false;
    anchor = {static_cast<int32_t>((int64_t{box.minX} + box.maxX) / 2),
              static_cast<int32_t>((int64_t{box.minY} + box.maxY) / 2)};
    return true;
}

bool fillPerspective(Bulk& bulk, const cPolyLine& o, ScreenPoint& anchor) {
    MapView& v = bulk.view;
    const size_t n = o.points.size();
    std::vector<ScreenPoint>& out = v.clipped;
    bool boxed = false;
    if (n > kBoxCullPoints) {
        if (!bulk.boxPerspective(o, out)) return false;
        const BoundsI box = boundsOfPoints(out.data(), static_cast<int>(out.size()));
        if (!bulk.meetsViewport(box) || tooSmall(o, box)) return false;
        anchor = centroid(out.data(), static_cast<int>(out.size()));
        boxed = true;
    }
    bulk.groundPoints(o.points.data(), n, v.ground);
    if (!projectPolygon(*v.camera, &v.frameMatrix, v.ground.data(), static_cast<int>(n), v.nearZ,
                        v.farZ, out))
        return false;
    if (!boxed) {
        const BoundsI box = boundsOfPoints(out.data(), static_cast<int>(out.size()));
        if (tooSmall(o, box)) return false;
        anchor = centroid(out.data(), static_cast<int>(out.size()));
    }
    return v.painter->fillPolygon(out.data(), static_cast<int>(out.size()));
}

} // namespace

bool fillArea(Bulk& bulk, const cPolyLine& o, ScreenPoint& anchor) {
    return bulk.eco ? fillEco(bulk, o, anchor) : fillPerspective(bulk, o, anchor);
}

void drawPolygons(Bulk& bulk, const cIndexBlock& block) {
    MapView& v = bulk.view;
    for (const auto& objects : block.loaded()) {
        for (const auto& o : objects->polygons) {
            if (o->points.empty() || o->mark < v.markThreshold) continue;
            const auto colour = static_cast<uint32_t>(v.style.areaStyle(o->type).colour);
            v.painter->setFillColour(v.painter->mapColour(colour));
            ScreenPoint anchor;
            if (!fillArea(bulk, *o, anchor) || o->name.empty()) continue;
            if (bulk.viewport.contains(anchor.x, anchor.y))
                v.overlays->addAreaName(anchor, o->name, o->type, false);
        }
    }
}

} // namespace tevo::frame
