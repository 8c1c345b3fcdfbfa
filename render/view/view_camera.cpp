// The description of the next frame from the view's state: the camera's
// scales, turn, tilt and centre, the footprint, the level of detail with
// its zoom correction, the bulk projection and the depth limits.
#include "render/view/map_view.hpp"

#include "render/raster/numbers.hpp"

#include <algorithm>
#include <cmath>

namespace tevo {

namespace {
constexpr float kRightAngle = 90.0f;
// A view 1.05 times one cell wide.
constexpr float kCellMargin = 1.05f;
constexpr int32_t kMinDepthBase = 10;
constexpr int32_t kDepthMargin = 5;
constexpr double kFlatHorizon = 1e-6;
} // namespace

const FrameView& MapView::setUpFrame() {
    const ViewState& s = state_;
    FrameView f = cameraFrame();
    // The level for the footprint; a corrected zoom moves the camera.
    LevelRequest request;
    request.footprint = f.footprint;
    request.viewWidth = static_cast<float>(viewport_.right - viewport_.left);
    request.metresPerDegree = static_cast<float>(kMetresPerDegree) * s.kx / s.ky;
    request.scale = f.scale;
    request.kind = s.levelChoiceKind;
    request.last = lastLevel_;
    const LevelChoice choice = chooseLevel(mapFile_.levels(), request);
    if (choice.correctToCell > 0) {
        correctZoom(choice.correctToCell);
        f = cameraFrame();
    }
    bulkScales(f);
    depthLimits(f);
    // The block cache switches to the level when it shows something here and
    // brings its cells to the footprint; the next choice starts from it.
    f.offMap = choice.level == nullptr;
    f.level = f.offMap ? nullptr : mapFile_.selectLevel(choice.level, f.footprint);
    lastLevel_ = f.level;
    // What the overlays show.
    f.followed = s.followed;
    f.pointerAngle = f.yaw + s.course - kRightAngle;
    f.hdop = s.lastFix.hdop;
    f.fixStale = s.fixStale;
    frame_ = f;
    return frame_;
}

FrameView MapView::cameraFrame() {
    const ViewState& s = state_;
    FrameView f;
    layoutInto(f);
    // Scales of the zoom, the style and the course matrix.
    const float z = usableZoom(s.zoom);
    f.scaleX = s.kx * z;
    f.scaleY = -s.ky * z;
    f.scale = z;
    f.raised = s.style == Style3D;
    f.courseMatrix = worldToCameraFixed(s.course, 0);
    // The tilt: none in Eco.
    f.pitch = f.eco ? 0.0f : camera_->pitch() + s.tiltOffset;
    if (s.freeView) {
        // The free view looks at the free point; a zoom after a tap keeps
        // the tapped point in place.
        f.yaw = camera_->yaw();
        const bool pinned = s.lastAction == ActionZoom && overlays_->tapMarkerActive();
        if (pinned)
            keepTapInPlace(f);
        else if (f.eco)
            f.centre = s.freePoint;
        else
            f.centre = f.centreFor(s.freePoint, camera_->followedScreenX, camera_->followedScreenY);
    } else {
        // The follow view: the user's zoom factor, and the course up the
        // screen, the user's heading, or north.
        const float factor = usableZoom(s.zoomFactor);
        f.scale *= factor;
        f.scaleX *= factor;
        f.scaleY *= factor;
        if (s.orientation == CourseUp)
            f.yaw = kRightAngle - s.course;
        else if (s.orientation == UserHeading)
            f.yaw = camera_->yaw();
        const ViewPoint& target = s.followed.isSet() ? s.followed : s.freePoint;
        if (f.eco)
            f.centre = target;
        else
            f.centre = f.centreFor(target, camera_->followedScreenX, camera_->followedScreenY);
    }
    f.matrix = worldToCameraFixed(f.yaw, f.pitch);
    footprintOf(f);
    return f;
}

// The tapped map point stays under the finger while the zoom changes: the
// centre comes from it, and the free point moves along.
void MapView::keepTapInPlace(FrameView& f) {
    const ScreenPoint at = overlays_->tapScreenPoint();
    f.centre = f.centreFor(overlays_->tapMapPoint(), at.x, at.y);
    const int32_t hx = f.eco ? ecoOrigin_.x : camera_->followedScreenX;
    const int32_t hy = f.eco ? ecoOrigin_.y : camera_->followedScreenY;
    ViewPoint& free = state_.freePoint;
    const ViewPoint c = f.centreFor(free, hx, hy);
    free.x = num::addSat(free.x, int64_t{f.centre.x} - c.x);
    free.y = num::addSat(free.y, int64_t{f.centre.y} - c.y);
    free.z = num::addSat(free.z, int64_t{f.centre.z} - c.z);
}

void MapView::footprintOf(FrameView& f) const {
    const PixelRect& v = viewport_;
    const int32_t xs[4] = {v.left, v.right, v.right, v.left};
    const int32_t ys[4] = {v.top, v.top, v.bottom, v.bottom};
    for (int i = 0; i < 4; ++i) {
        const GroundHit hit = f.screenToMap(xs[i], ys[i]);
        f.footprint[i] = {unitsToDegrees(hit.x), unitsToDegrees(hit.y)};
    }
}

void MapView::correctZoom(float cellDegrees) {
    ViewState& s = state_;
    const float w = static_cast<float>(viewport_.right - viewport_.left);
    const float g = static_cast<float>(kMetresPerDegree) * s.kx / s.ky;
    const float h = w * kCellMargin / g;
    const float z = h / cellDegrees;
    if (s.freeView)
        s.zoom = z;
    else if (s.zoom != 0)
        s.zoomFactor = z / s.zoom;
}

// The scales of the bulk projection as fixed point. A scale too small to
// hold falls back to the previous zoom's.
void MapView::bulkScales(FrameView& f) const {
    const ViewState& s = state_;
    const int64_t mapWidth = int64_t{mapBounds_.maxX} - mapBounds_.minX;
    const float k = s.freeView ? 1.0f : s.zoomFactor;
    int32_t shift = bulkShift(f.scaleX, mapWidth);
    if (shift == -1) {
        shift = bulkShift(k * s.kx * s.previousZoom, mapWidth);
        f.scaleX = k * s.kx * s.previousZoom;
        f.scaleY = k * (-s.ky * s.previousZoom);
    }
    f.scaleHeld = shift >= 0;
    f.shift = f.scaleHeld ? shift : kFixedShift;
    f.bulkX = num::truncInt(static_cast<double>(int64_t{1} << f.shift) * f.scaleX);
    f.bulkY = num::truncInt(static_cast<double>(int64_t{1} << f.shift) * f.scaleY);
}

// The depth range: from a little before the bottom edge's ground point to
// the top edge's, within the far limit.
void MapView::depthLimits(FrameView& f) const {
    f.viewDirection = {f.matrix[2], f.matrix[5], f.matrix[8]};
    const int32_t nearPixels = num::truncInt(kNearCoefficient * f.scale);
    const double t = static_cast<double>(state_.tiltOffset + state_.tilt) * kDegreesToRadians;
    const int32_t focal = camera_->focal;
    const double ct = std::cos(t), st = std::sin(t);
    const double b = std::max(focal - nearPixels, kMinDepthBase);
    const double u = num::over(b * b, b * ct + (viewport_.bottom - camera_->principalY) * st);
    if (u < 1)
        f.nearZ = 1;
    else if (u > b - kDepthMargin)
        f.nearZ = num::truncInt(b - kDepthMargin);
    else
        f.nearZ = num::truncInt(u);
    const double d = std::max(focal, kMinDepthBase);
    const double l = d * ct + (viewport_.top - camera_->principalY) * st;
    if (l < kFlatHorizon) {
        f.farZ = f.farLimit;
        return;
    }
    const int32_t r = num::truncInt(d * d / l);
    if (r > f.farLimit)
        f.farZ = f.farLimit;
    else if (focal >= r)
        f.farZ = focal + kDepthMargin;
    else
        f.farZ = r;
}

} // namespace tevo
