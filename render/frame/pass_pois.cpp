// Pass 4: POI icons and names; and the loaded tracks.
#include "render/frame/frame_internal.hpp"

namespace tevo::frame {

namespace {

// Icons whose centre lies this far outside the viewport may still show.
constexpr int32_t kIconMargin = 32;
constexpr uint32_t kTrackColour = 0xFE00FF;
constexpr int32_t kTrackWidth = 3;

} // namespace

void drawPois(Bulk& bulk, const cIndexBlock& block) {
    MapView& v = bulk.view;
    const PixelRect near{bulk.viewport.left - kIconMargin, bulk.viewport.top - kIconMargin,
                         bulk.viewport.right + kIconMargin, bulk.viewport.bottom + kIconMargin};
    for (const auto& objects : block.loaded()) {
        for (const auto& p : objects->pois) {
            if (p->type == -1 || p->mark < v.markThreshold) continue;
            ScreenPoint at;
            if (bulk.eco) {
                at = bulk.eco2D(p->x, p->y);
            } else {
                const GroundPoint g = bulk.ground(p->x, p->y);
                const CameraPoint q = toCamera(&v.frameMatrix, g.u, g.v, v.camera->height());
                if (q.z < v.nearZ || q.z > v.farZ || !projectPoint(q, *v.camera, at)) continue;
            }
            if (!near.contains(at.x, at.y)) continue;
            v.overlays->drawPoi(*p, at);
        }
    }
}

void drawTracks(Bulk& bulk) {
    MapView& v = bulk.view;
    cPainter& painter = *v.painter;
    for (const auto& track : v.tracks) {
        // The last point is where the vehicle is; the pointer stands there.
        if (track->points.size() < 3) continue;
        const size_t n = track->points.size() - 1;
        painter.setLineColour(painter.mapColour(kTrackColour));
        painter.setLineWidth(kTrackWidth);
        painter.setDashPattern(cPainter::kSolid);
        if (bulk.eco) {
            bulk.reserveFirst(n);
            bulk.ecoPoints(track->points.data(), n, v.points);
            painter.drawPolyline(static_cast<int>(n), v.points.data());
            continue;
        }
        bulk.groundPoints(track->points.data(), n, v.ground);
        if (projectPolyline(*v.camera, v.frameMatrix, v.ground.data(), static_cast<int>(n), v.nearZ,
                            v.farZ, v.clipped))
            painter.drawPolyline(static_cast<int>(v.clipped.size()), v.clipped.data());
    }
}

} // namespace tevo::frame
