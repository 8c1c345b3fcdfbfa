// The second pass: the lines, outer stroke then inner stroke, with street
// names.
#include "render/frame/passes.hpp"

#include "render/raster/projection.hpp"

namespace tevo::frame {

namespace {

// The line's screen points in `c.points` (Eco) or `c.clipped`; null when
// nothing of it can show.
const std::vector<ScreenPoint>* projectLine(const FrameView& f, FrameCanvas& c,
                                            const cPolyLine& o) {
    const size_t n = o.points.size();
    if (f.eco) {
        if (n > kBoxCullPoints) {
            ScreenPoint corners[4];
            f.boxEco(o, corners);
            if (!f.viewport.meets(boundsOfPoints(corners, 4))) return nullptr;
        }
        c.reservePoints(n);
        f.ecoPoints(o.points.data(), n, c.points);
        return &c.points;
    }
    if (n > kBoxCullPoints) {
        if (!f.boxPerspective(o, c.clipped)) return nullptr;
        const PixelRect box = boundsOfPoints(c.clipped.data(), static_cast<int>(c.clipped.size()));
        if (!f.viewport.meets(box)) return nullptr;
    }
    f.groundPoints(o.points.data(), n, c.ground);
    if (!projectPolyline(*f.camera, f.matrix, c.ground.data(), static_cast<int>(n), f.nearZ, f.farZ,
                         c.clipped))
        return nullptr;
    return &c.clipped;
}

} // namespace

void drawPolylines(const FrameView& f, FrameCanvas& c, const cIndexBlock& block) {
    cPainter& painter = c.painter;
    for (const auto& objects : block.loaded()) {
        for (const auto& o : objects->polylines) {
            if (o->points.empty()) continue;
            const std::vector<ScreenPoint>* pts = projectLine(f, c, *o);
            if (!pts) continue;
            const LineStyle ls = f.style->lineStyle(o->type);
            const int count = static_cast<int>(pts->size());
            painter.setLineColour(painter.mapColour(static_cast<uint32_t>(ls.colour)));
            painter.setDashPattern(linePattern(ls.pattern));
            painter.setLineWidth(ls.width);
            const bool visible = painter.drawPolylineVisible(count, pts->data(), c.path);
            if (!visible) continue;
            if (ls.width2 != 0) {
                painter.setLineColour(painter.mapColour(static_cast<uint32_t>(ls.colour2)));
                painter.setDashPattern(linePattern(ls.pattern2));
                painter.setLineWidth(ls.width2);
                painter.drawPolyline(count, pts->data());
            }
            if (!o->name.empty()) c.overlays.addStreetName(c.path, o->name);
        }
    }
}

} // namespace tevo::frame
