// The saved view of the return button, and the view state kept in the
// settings between runs.
#include "config/config_xml.hpp"
#include "render/view/map_view.hpp"

#include <algorithm>

namespace tevo {

namespace {
constexpr float kRightAngle = 90.0f;
constexpr float kSmallestZoomFactor = 0.0001f;
} // namespace

void MapView::saveView() {
    ViewState& s = state_;
    s.saved = {s.freePoint, s.projection, s.style, frame_.yaw,
               s.tilt,      s.tiltOffset, s.zoom,  s.zoomFactor};
    if (!s.freeView) camera_->setYaw(kRightAngle - s.course);
}

void MapView::restoreView() {
    ViewState& s = state_;
    s.freePoint = s.saved.freePoint;
    camera_->setYaw(s.saved.yaw);
    s.tilt = s.saved.tilt;
    s.tiltOffset = s.saved.tiltOffset;
    s.zoom = s.saved.zoom;
    s.zoomFactor = s.saved.zoomFactor;
    setProjection(s.saved.projection);
    s.style = s.saved.style;
}

void MapView::applySettings(const cConfigXML& settings) {
    ViewState& s = state_;
    s.minangle = static_cast<float>(settings.minangle);
    s.minspeed = static_cast<float>(settings.minspeed);
    if (settings.scale < 0) return;
    camera_->setYaw(settings.axy);
    s.course = kRightAngle - settings.axy;
    s.tilt = std::clamp(settings.ayz, 0.0f, s.maxTilt);
    // Frames are drawn with the camera's pitch: without this the stored tilt
    // would wait for the first fix, and a view freed at exit would come back
    // with the pitch of a standing vehicle.
    camera_->setPitch(s.tilt);
    s.tiltOffset = settings.ayzuser;
    // A stored zoom of 0 would leave no scale: the fitted zoom stays then.
    if (settings.scale > 0) s.zoom = settings.scale;
    s.zoomFactor =
        settings.scaleuser > kSmallestZoomFactor ? settings.scaleuser : kSmallestZoomFactor;
    if (settings.viewpos[0] != kUnsetCoordinate && settings.viewpos[1] != kUnsetCoordinate) {
        s.freePoint.x = settings.viewpos[0];
        s.freePoint.y = settings.viewpos[1];
    }
    setFollowedFromDegrees(settings.mapposabs[0], settings.mapposabs[1]);
}

void MapView::storeSettings(cConfigXML& settings) const {
    const ViewState& s = state_;
    settings.axy = camera_->yaw();
    settings.ayz = s.tilt;
    settings.ayzuser = s.tiltOffset;
    settings.scale = s.zoom;
    settings.scaleuser = s.zoomFactor;
    settings.viewpos = {s.freePoint.x, s.freePoint.y};
    settings.mapposabs = {s.longitude, s.latitude};
    settings.viewto = s.freeView ? 1 : 0;
}

} // namespace tevo
