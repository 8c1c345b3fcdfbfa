#include "render/view_overlays.hpp"

#include "render/map_view.hpp"

namespace tevo {

struct cViewOverlays::State {
    ViewPoint tapPoint;
    ScreenPoint tapScreen;
    bool tapActive = false;
};

cViewOverlays::cViewOverlays(MapView& view) : view_(view), state_(std::make_unique<State>()) {}
cViewOverlays::~cViewOverlays() = default;

bool cViewOverlays::openFont(const std::string&, int32_t) {
    return false;
}
void cViewOverlays::buildGlyphStrip(const std::u16string&) {}
bool cViewOverlays::loadPointer(const std::string&) {
    return false;
}
bool cViewOverlays::loadCompass(const std::string&) {
    return false;
}
bool cViewOverlays::loadPoiSheet(const std::string&, int32_t, int32_t) {
    return false;
}
bool cViewOverlays::hasCompass() const {
    return false;
}

void cViewOverlays::beginFrame() {}
void cViewOverlays::addAreaName(ScreenPoint, const std::u16string&, int32_t, bool) {}
void cViewOverlays::drawPoi(const cPOI&, ScreenPoint) {}
void cViewOverlays::addStreetName(const std::vector<ScreenPoint>&, const std::u16string&) {}
void cViewOverlays::drawNames() {}

void cViewOverlays::drawPointer(float) {}
void cViewOverlays::drawScaleBar() {}
void cViewOverlays::drawCompass(float, float) {}
void cViewOverlays::drawOutOfMap(int32_t, int32_t) {}
void cViewOverlays::drawMapAbsent() {}

void cViewOverlays::setTapMarker(int32_t sx, int32_t sy) {
    const GroundHit hit = view_.screenToMap(sx, sy);
    if (hit.offGround) return;
    state_->tapPoint = {hit.x, hit.y, kGroundHeight};
    state_->tapScreen = {sx, sy};
    state_->tapActive = true;
}
bool cViewOverlays::tapMarkerActive() const {
    return state_->tapActive;
}
void cViewOverlays::resetTapMarkerAnimation() {}
void cViewOverlays::drawTapMarker() {}
void cViewOverlays::followTapMarker() {}
void cViewOverlays::eraseTapMarker() {
    state_->tapActive = false;
}
void cViewOverlays::clearTapMarker() {
    state_->tapActive = false;
}
ViewPoint cViewOverlays::tapMapPoint() const {
    return state_->tapPoint;
}
ScreenPoint cViewOverlays::tapScreenPoint() const {
    return state_->tapScreen;
}

} // namespace tevo
