// A place chosen by name shown in the free view: the view moves to it and
// the tap marker marks it, as if the user had browsed there and tapped it.
#include "render/view/map_view.hpp"

#include <algorithm>

namespace tevo {

void MapView::showPlace(int32_t x, int32_t y, float metresAcross) {
    ViewState& s = state_;
    freeSwitch();
    s.freePoint = ViewPoint{x, y, kGroundHeight};
    // Pixels per metre for the width asked, within the zoom's limits.
    const float width = static_cast<float>(std::max(viewport_.right - viewport_.left, 1));
    const float zoom = std::clamp(width / std::max(metresAcross, 1.0f), width / kWidestMetres,
                                  1 / std::max(s.minMetresPerPixel, 1e-6f));
    setZoomAndTilt(zoom, s.tilt);
    s.lastAction = ActionNone;
    s.levelChoiceKind = ChoiceOther;
    // The marker's pixel as the next frame will draw it.
    const FrameView& f = setUpFrame();
    const ScreenHit at = f.mapToScreen(x, y);
    overlays_->setTapMarker({at.x, at.y}, s.freePoint, !at.visible);
}

} // namespace tevo
