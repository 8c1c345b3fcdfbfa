// The per-frame camera: scales, angles, the view centre and the matrices;
// the footprint of the viewport on the map; the depth limits.
#include "render/raster/numbers.hpp"
#include "render/view/map_view.hpp"

#include <algorithm>
#include <cmath>

namespace tevo {

namespace {
constexpr float kRightAngle = 90.0f;
constexpr float kLatitudeLimit = 90.0f;
constexpr float kLongitudeLimit = 360.0f;
constexpr int32_t kMinDepthBase = 10;
constexpr int32_t kDepthMargin = 5;
constexpr double kFlatHorizon = 1e-6;
} // namespace

void MapView::updateCamera() {
    // 1. Scales of the zoom and the course matrix.
    const float z = usableZoom(zoom);
    Sx = kx * z;
    Sy = -ky * z;
    S = z;
    courseMatrix = worldToCameraFixed(course, 0);
    // 2. Angles.
    float yaw = 0;
    float pitch = perspective() ? camera->pitch() : 0.0f;
    pitch += tiltOffset;
    // 3. The followed position by default.
    centre.x = followed.x;
    centre.y = followed.y;
    const ViewPoint& target = followed.isSet() ? followed : freePoint;
    const bool pinned = lastAction == ActionZoom && overlays->tapMarkerActive() && freeView;
    if (freeView) {
        // 4. The free view looks at the free point.
        yaw = camera->yaw();
        if (!perspective()) pitch = 0;
        frameYaw = yaw;
        framePitch = pitch;
        if (pinned)
            pinnedZoom();
        else if (!perspective())
            centre = {freePoint.x, freePoint.y, centre.z};
        else
            centre = centreFor(freePoint, camera->followedScreenX, camera->followedScreenY);
    } else {
        // 5. The follow view.
        const float factor = usableZoom(zoomFactor);
        S *= factor;
        Sx *= factor;
        Sy *= factor;
        if (orientation == CourseUp)
            yaw = kRightAngle - course;
        else if (orientation == UserHeading)
            yaw = camera->yaw();
        if (!perspective()) pitch = 0;
        frameYaw = yaw;
        framePitch = pitch;
        if (!perspective())
            centre = target;
        else
            centre = centreFor(target, camera->followedScreenX, camera->followedScreenY);
    }
    // 6. The matrices of this frame.
    frameMatrix = worldToCameraFixed(frameYaw, framePitch);
    frameFloat = worldToCamera(frameYaw, framePitch);
}

// Keeps the tapped map point under the finger while the zoom changes.
void MapView::pinnedZoom() {
    const ScreenPoint at = overlays->tapScreenPoint();
    centre = centreFor(overlays->tapMapPoint(), at.x, at.y);
    const int32_t hx = perspective() ? camera->followedScreenX : ecoX;
    const int32_t hy = perspective() ? camera->followedScreenY : ecoY;
    const ViewPoint c = centreFor(freePoint, hx, hy);
    freePoint.x = num::addSat(freePoint.x, int64_t{centre.x} - c.x);
    freePoint.y = num::addSat(freePoint.y, int64_t{centre.y} - c.y);
    freePoint.z = num::addSat(freePoint.z, int64_t{centre.z} - c.z);
}

void MapView::updateFootprint() {
    const int32_t xs[4] = {viewport.x0, viewport.x1, viewport.x1, viewport.x0};
    const int32_t ys[4] = {viewport.y0, viewport.y0, viewport.y1, viewport.y1};
    for (int i = 0; i < 4; ++i) {
        const GroundHit hit = screenToMap(xs[i], ys[i]);
        footprintUnits[i] = {hit.x, hit.y};
        footprint[i] = {unitsToDegrees(hit.x), unitsToDegrees(hit.y)};
    }
    BoundsF box = boundsOf4(footprint);
    if (box.minY < -kLatitudeLimit)
        box.minY = -kLatitudeLimit;
    else if (box.maxY > kLatitudeLimit)
        box.maxY = kLatitudeLimit;
    if (box.minX < 0)
        box.minX = 0;
    else if (box.maxX > kLongitudeLimit)
        box.maxX = kLongitudeLimit;
    footprintBox = box;
    footprintUnitsBox = {degreesToUnits(box.minX), degreesToUnits(box.minY),
                         degreesToUnits(box.maxX), degreesToUnits(box.maxY)};
}

void MapView::nearFar(int32_t nearPixels, int32_t& outNear, int32_t& outFar) const {
    const double t = static_cast<double>(tiltOffset + tilt) * kDegreesToRadians;
    const int32_t f = camera->focal;
    const double ct = std::cos(t), st = std::sin(t);
    // Near: the depth of the bottom edge's ground point, a little in front.
    const double b = std::max(f - nearPixels, kMinDepthBase);
    const double u = num::over(b * b, b * ct + (viewport.y1 - camera->principalY) * st);
    if (u < 1)
        outNear = 1;
    else if (u > b - kDepthMargin)
        outNear = num::truncInt(b - kDepthMargin);
    else
        outNear = num::truncInt(u);
    // Far: the depth of the top edge's ground point, when it has one.
    const double d = std::max(f, kMinDepthBase);
    const double l = d * ct + (viewport.y0 - camera->principalY) * st;
    if (l < kFlatHorizon) {
        outFar = farLimit;
        return;
    }
    const int32_t r = num::truncInt(d * d / l);
    if (r > farLimit)
        outFar = farLimit;
    else if (f >= r)
        outFar = f + kDepthMargin;
    else
        outFar = r;
}

} // namespace tevo
