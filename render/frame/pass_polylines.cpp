// Pass 2: the lines, outer stroke then inner stroke, with street names.
#include "render/frame/frame_internal.hpp"

namespace tevo::frame {

namespace {

// The line's screen points in `v.points` (Eco) or `v.clipped`; false when
// nothing of it can show.
const std::vector<ScreenPoint>* projectLine(Bulk& bulk, const cPolyLine& o) {
    MapView& v = bulk.view;
    const size_t n = o.points.size();
    if (bulk.eco) {
        if (n > kBoxCullPoints) {
            ScreenPoint corners[4];
            bulk.boxEco(o, corners);
            if (!bulk.meetsViewport(boundsOfPoints(corners, 4))) return nullptr;
        }
        bulk.reserveFirst(n);
        bulk.ecoPoints(o.points.data(), n, v.points);
        return &v.points;
    }
    if (n > kBoxCullPoints) {
        if (!bulk.boxPerspective(o, v.clipped)) return nullptr;
        const BoundsI box = boundsOfPoints(v.clipped.data(), static_cast<int>(v.clipped.size()));
        if (!bulk.meetsViewport(box)) return nullptr;
    }
    bulk.groundPoints(o.points.data(), n, v.ground);
    if (!projectPolyline(*v.camera, v.frameMatrix, v.ground.data(), static_cast<int>(n), v.nearZ,
                         v.farZ, v.clipped))
        return nullptr;
    return &v.clipped;
}

} // namespace

void drawPolylines(Bulk& bulk, const cIndexBlock& block) {
    MapView& v = bulk.view;
    cPainter& painter = *v.painter;
    for (const auto& objects : block.loaded()) {
        for (const auto& o : objects->polylines) {
            if (o->points.empty() || o->mark < v.markThreshold) continue;
            const std::vector<ScreenPoint>* pts = projectLine(bulk, *o);
            if (!pts) continue;
            const LineStyle ls = v.style.lineStyle(o->type);
            const int count = static_cast<int>(pts->size());
            painter.setLineColour(painter.mapColour(static_cast<uint32_t>(ls.colour)));
            painter.setDashPattern(linePattern(ls.pattern));
            painter.setLineWidth(ls.width);
            const bool visible = painter.drawPolylineVisible(count, pts->data(), bulk.path);
            if (!visible) continue;
            if (ls.width2 != 0) {
                painter.setLineColour(painter.mapColour(static_cast<uint32_t>(ls.colour2)));
                painter.setDashPattern(linePattern(ls.pattern2));
                painter.setLineWidth(ls.width2);
                painter.drawPolyline(count, pts->data());
            }
            if (!o->name.empty()) v.overlays->addStreetName(bulk.path, o->name);
        }
    }
}

} // namespace tevo::frame
