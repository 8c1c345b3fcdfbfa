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
    saved = {freePoint, projection, style3D, frameYaw, tilt, tiltOffset, zoom, zoomFactor};
    if (!freeView) camera->setYaw(kRightAngle - course);
}

void MapView::restoreView() {
    freePoint = saved.freePoint;
    camera->setYaw(saved.yaw);
    tilt = saved.tilt;
    tiltOffset = saved.tiltOffset;
    zoom = saved.zoom;
    zoomFactor = saved.zoomFactor;
    setProjection(saved.projection);
    style3D = saved.style;
}

void MapView::applySettings(const cConfigXML& settings) {
    minangle = static_cast<float>(settings.minangle);
    minspeed = static_cast<float>(settings.minspeed);
    if (settings.scale < 0) return;
    camera->setYaw(settings.axy);
    course = kRightAngle - settings.axy;
    tilt = std::clamp(settings.ayz, 0.0f, maxTilt);
    // Frames are drawn with the camera's pitch: without this the stored tilt
    // would wait for the first fix, and a view freed at exit would come back
    // with the pitch of a standing vehicle.
    camera->setPitch(tilt);
    tiltOffset = settings.ayzuser;
    // A stored zoom of 0 would leave no scale: the fitted zoom stays then.
    if (settings.scale > 0) zoom = settings.scale;
    zoomFactor =
        settings.scaleuser > kSmallestZoomFactor ? settings.scaleuser : kSmallestZoomFactor;
    if (settings.viewpos[0] != kUnsetCoordinate && settings.viewpos[1] != kUnsetCoordinate) {
        freePoint.x = settings.viewpos[0];
        freePoint.y = settings.viewpos[1];
    }
    setFollowedFromDegrees(settings.mapposabs[0], settings.mapposabs[1]);
}

void MapView::storeSettings(cConfigXML& settings) const {
    settings.axy = camera->yaw();
    settings.ayz = tilt;
    settings.ayzuser = tiltOffset;
    settings.scale = zoom;
    settings.scaleuser = zoomFactor;
    settings.viewpos = {freePoint.x, freePoint.y};
    settings.mapposabs = {longitude, latitude};
    settings.viewto = freeView ? 1 : 0;
}

} // namespace tevo
