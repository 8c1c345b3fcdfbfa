// The fourth pass: POI icons and names; and the loaded tracks after the
// last block.
#include "render/frame/passes.hpp"

#include "render/raster/projection.hpp"

namespace tevo::frame {

namespace {

// Icons whose centre lies this far outside the viewport may still show.
constexpr int32_t kIconMargin = 32;
constexpr uint32_t kTrackColour = 0xFE00FF;
constexpr int32_t kTrackWidth = 3;

} // namespace

void drawPois(const FrameView& f, FrameCanvas& c, const cIndexBlock& block) {
    const PixelRect near{f.viewport.left - kIconMargin, f.viewport.top - kIconMargin,
                         f.viewport.right + kIconMargin, f.viewport.bottom + kIconMargin};
    for (const auto& objects : block.loaded()) {
        for (const auto& p : objects->pois) {
            if (p->type == -1) continue;
            ScreenPoint at;
            if (f.eco) {
                at = f.eco2D(p->x, p->y);
            } else {
                const GroundPoint g = f.ground(p->x, p->y);
                const CameraPoint q = toCamera(&f.matrix, g.u, g.v, f.camera->height());
                if (q.z < f.nearZ || q.z > f.farZ || !projectPoint(q, *f.camera, at)) continue;
            }
            if (!near.contains(at.x, at.y)) continue;
            c.overlays.drawPoi(*p, at);
        }
    }
}

void drawTracks(const FrameView& f, FrameCanvas& c, const cPtrArray<cPolyLine>& tracks) {
    cPainter& painter = c.painter;
    for (const auto& track : tracks) {
        // The last point is where the vehicle is; the pointer stands there.
        if (track->points.size() < 3) continue;
        const size_t n = track->points.size() - 1;
        painter.setLineColour(painter.mapColour(kTrackColour));
        painter.setLineWidth(kTrackWidth);
        painter.setDashPattern(cPainter::kSolid);
        if (f.eco) {
            c.reservePoints(n);
            f.ecoPoints(track->points.data(), n, c.points);
            painter.drawPolyline(static_cast<int>(n), c.points.data());
            continue;
        }
        f.groundPoints(track->points.data(), n, c.ground);
        if (projectPolyline(*f.camera, f.matrix, c.ground.data(), static_cast<int>(n), f.nearZ,
                            f.farZ, c.clipped))
            painter.drawPolyline(static_cast<int>(c.clipped.size()), c.clipped.data());
    }
}

} // namespace tevo::frame
