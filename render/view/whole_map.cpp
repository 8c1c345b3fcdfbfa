// The whole map at once: the Home key's view, and the start of a stored view
// that lies off the map (a folder that held another region's map).
#include "render/view/map_view.hpp"

#include "render/raster/numbers.hpp"

#include <algorithm>

namespace tevo {

namespace {
// The whole map takes this share of the viewport, so that its edges show.
constexpr float kWholeMapShare = 0.9f;
} // namespace

// The cells of the finest level that has any, widened by the start
// rectangle: the start rectangle alone may be one cell of a whole country.
BoundsI dataExtent(const cMapFile& map, const BoundsI& start) {
    BoundsI b = start;
    for (const auto& level : map.levels()) {
        if (level->cellRange().colMin < 0) continue;
        const BoundsF& e = level->extent();
        b = {std::min(b.minX, degreesToUnits(e.minX)), std::min(b.minY, degreesToUnits(e.minY)),
             std::max(b.maxX, degreesToUnits(e.maxX)), std::max(b.maxY, degreesToUnits(e.maxY))};
        break;
    }
    return b;
}

bool MapView::onMap(const ViewPoint& p) const {
    const BoundsI& b = mapExtent_;
    return p.isSet() && p.x >= b.minX && p.x <= b.maxX && p.y >= b.minY && p.y <= b.maxY;
}

// The largest zoom at which the map's bounds fit into the viewport.
float MapView::wholeMapZoom() const {
    const ViewState& s = state_;
    const BoundsI& b = mapExtent_;
    const float mw = static_cast<float>(int64_t{b.maxX} - b.minX) * s.kx;
    const float mh = static_cast<float>(int64_t{b.maxY} - b.minY) * s.ky;
    const float vw = static_cast<float>(viewport_.right - viewport_.left);
    const float vh = static_cast<float>(viewport_.bottom - viewport_.top);
    if (!(mw > 0 && mh > 0 && vw > 0 && vh > 0)) return usableZoom(s.zoom);
    return std::min(vw / mw, vh / mh) * kWholeMapShare;
}

// North up at the whole map's zoom, the map's centre in the viewport's centre
// (the free view puts its point where the layout has the pointer).
void MapView::placeOnWholeMap() {
    ViewState& s = state_;
    camera_->setYaw(0);
    s.zoom = s.previousZoom = wholeMapZoom();
    const double sx = static_cast<double>(s.kx) * s.zoom;
    const double sy = -static_cast<double>(s.ky) * s.zoom;
    const int64_t cx = (int64_t{mapExtent_.minX} + mapExtent_.maxX) / 2;
    const int64_t cy = (int64_t{mapExtent_.minY} + mapExtent_.maxY) / 2;
    const double hx = (viewport_.left + viewport_.right) / 2.0 - ecoOrigin_.x;
    const double hy = (viewport_.top + viewport_.bottom) / 2.0 - ecoOrigin_.y;
    s.freePoint.x = num::truncInt(static_cast<double>(cx) - num::over(hx, sx));
    s.freePoint.y = num::truncInt(static_cast<double>(cy) - num::over(hy, sy));
}

void MapView::showWholeMap() {
    if (!mapOpen_) return;
    ViewState& s = state_;
    setProjection(ProjectionEco);
    s.freeView = true;
    // Nothing pins a tapped point: the whole map is the point.
    s.lastAction = ActionNone;
    overlays_->clearTapMarker();
    placeOnWholeMap();
}

void MapView::startOnMap() {
    if (!mapOpen_) return;
    ViewState& s = state_;
    if (s.followed.isSet() && !onMap(s.followed)) {
        s.followed = s.previousFollowed = ViewPoint{};
        s.longitude = s.latitude = kUnknownDegrees;
    }
    if (onMap(s.freePoint)) return;
    s.zoomFactor = 1.0f;
    placeOnWholeMap();
}

} // namespace tevo
