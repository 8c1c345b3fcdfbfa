// The tap marker of the view: where the user tapped the map, shown while
// the user browses (in the free view, or while there is nothing to follow).
#include "render/view/map_view.hpp"

namespace tevo {

void MapView::markTap(int32_t sx, int32_t sy) {
    state_.lastAction = ActionZoom;
    const GroundHit hit = screenToMap(sx, sy);
    overlays_->setTapMarker({sx, sy}, {hit.x, hit.y, kGroundHeight}, hit.offGround);
}

void MapView::clearTapMarker() {
    overlays_->clearTapMarker();
}

bool MapView::tapMarkerShown() const {
    const ViewState& s = state_;
    return overlays_->tapMarkerActive() && (s.freeView || !s.followed.isSet());
}

void MapView::drawTapMarkerOverFrame() {
    if (!tapMarkerShown()) return;
    const ViewPoint p = overlays_->tapMapPoint();
    if (!p.isSet()) return;
    const ScreenHit at = frame_.mapToScreen(p.x, p.y);
    if (at.visible) overlays_->drawTapMarker({at.x, at.y});
}

void MapView::animateTapMarker() {
    if (!tapMarkerShown() || state_.previewOn) return;
    const ViewPoint p = overlays_->tapMapPoint();
    const ScreenHit at = frame_.mapToScreen(p.x, p.y);
    if (at.visible) overlays_->followTapMarker({at.x, at.y});
}

} // namespace tevo
