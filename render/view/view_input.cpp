// The operations of the keys and the pointer: zoom, tilt, rotation, drags,
// the preview, the projection and orientation cycles, the perspective tap,
// and the switches between the free and the follow view.
#include "render/view/map_view.hpp"

#include "render/raster/numbers.hpp"

#include <algorithm>
#include <cmath>

namespace tevo {

namespace {

// A zoom-out step smaller than this part of the minimum grows by half of it.
constexpr float kSmallestOutStep = 0.1f;
constexpr int kOrientationModes = 3;

struct Ray {
    double x, y, z;
};

Ray rayThrough(const Camera& camera, float yaw, float pitch, int32_t sx, int32_t sy) {
    const FloatMatrix m = cameraToWorld(yaw, pitch);
    const double x = sx - camera.principalX, y = sy - camera.principalY, z = camera.focal;
    return {m[0] * x + m[1] * y + m[2] * z, m[3] * x + m[4] * y + m[5] * z,
            m[6] * x + m[7] * y + m[8] * z};
}

bool withinPinch(float pitch) {
    return pitch >= -MapView::kPinchLimitDegrees && pitch <= MapView::kPinchLimitDegrees;
}

} // namespace

void MapView::zoomStep(int direction) {
    ViewState& s = state_;
    s.lastAction = ActionZoom;
    s.levelChoiceKind = direction;
    const float d = static_cast<float>(
        std::max({viewport_.right - viewport_.left, viewport_.bottom - viewport_.top, 1}));
    const float m = s.minMetresPerPixel, step = s.zoomStepSize;
    const float z = usableZoom(s.zoom);
    if (!s.freeView) {
        // The follow view scales the user's factor.
        float f = usableZoom(s.zoomFactor);
        f = direction == 0 ? f * (1 + step) : f / (1 + step);
        if (d / (z * f) > kWidestMetres) f = d / (kWidestMetres * z);
        if (z * f > 1 / m) f = (1 / m) / z;
        s.zoomFactor = f;
        return;
    }
    // The free view steps the metres per pixel toward or away from the minimum.
    const float e = 1 / z;
    float next;
    if (direction == 0) {
        next = e >= m ? m + (1 - step) * (e - m) : m;
    } else {
        float h = step * (e - m);
        if ((e + h) / m - 1 < kSmallestOutStep) h = m / 2;
        next = e + h;
        if (d * next > kWidestMetres) next = kWidestMetres / d;
    }
    const float newZoom = 1 / next;
    if (newZoom >= 0) {
        s.previousZoom = s.zoom;
        s.zoom = newZoom;
    }
}

void MapView::tiltBy(float delta) {
    ViewState& s = state_;
    s.lastAction = ActionTilt;
    s.tiltOffset += delta;
    if (s.maxTilt < s.tilt + s.tiltOffset) s.tiltOffset = s.maxTilt - s.tilt;
    if (s.tilt + s.tiltOffset < 0) s.tiltOffset = -s.tilt;
}

void MapView::rotateBy(float delta) {
    state_.lastAction = ActionRotate;
    camera_->setYaw(camera_->yaw() + delta);
}

void MapView::dragBy(int32_t dx, int32_t dy) {
    ViewState& s = state_;
    s.lastAction = ActionDrag;
    if (s.previewOn) {
        s.previewOffset.x = num::addSat(s.previewOffset.x, -int64_t{dx});
        s.previewOffset.y = num::addSat(s.previewOffset.y, -int64_t{dy});
        return;
    }
    if (!s.freePoint.isSet()) return;
    const double phi = frame_.yaw * kDegreesToRadians;
    const double c = std::cos(phi), sn = std::sin(phi);
    s.freePoint.x =
        num::addSat(s.freePoint.x, num::truncInt(num::over(c * dx - sn * dy, frame_.scaleX)));
    s.freePoint.y =
        num::addSat(s.freePoint.y, num::truncInt(num::over(c * dy + sn * dx, frame_.scaleY)));
}

void MapView::grabDrag(const ViewPoint& grabbed, int32_t sx, int32_t sy) {
    ViewState& s = state_;
    if (!s.freeView) return;
    const ViewPoint c0 =
        frame_.centreFor(s.freePoint, camera_->followedScreenX, camera_->followedScreenY);
    const ViewPoint c1 = frame_.centreFor(grabbed, sx, sy);
    s.freePoint.x = num::addSat(s.freePoint.x, int64_t{c1.x} - c0.x);
    s.freePoint.y = num::addSat(s.freePoint.y, int64_t{c1.y} - c0.y);
}

bool MapView::setPreview(bool on) {
    ViewState& s = state_;
    if (perspective()) return false;
    if (on == s.previewOn) return true;
    if (!on) {
        if (!painter_->bindSurface(video_)) return false;
        SDL_FreeSurface(preview_);
        preview_ = nullptr;
        s.previewOn = false;
        return true;
    }
    s.previewOffset = {0, 0};
    if (!video_) return false;
    const SDL_PixelFormat* f = video_->format;
    SDL_Surface* surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, video_->w, video_->h, f->BitsPerPixel, f->Rmask,
                             f->Gmask, f->Bmask, f->Amask);
    if (!surface) return false;
    if (!painter_->bindSurface(surface)) {
        SDL_FreeSurface(surface);
        return false;
    }
    preview_ = surface;
    composeMap();
    s.previewOn = true;
    return true;
}

void MapView::setProjection(int32_t mode) {
    ViewState& s = state_;
    if (mode == s.projection) return;
    if (s.projection == ProjectionEco) {
        s.previousTilt = s.tilt;
        camera_->setPitch(s.tilt);
    }
    setPreview(false);
    s.projection = mode;
    // Points met before the next frame are placed in the new projection, as
    // that frame will place them.
    frame_.eco = !perspective();
}

void MapView::cycleProjection() {
    ViewState& s = state_;
    if (s.projection == ProjectionEco) {
        s.style = Style2D;
        setProjection(ProjectionPerspective);
    } else if (s.style == Style2D) {
        s.style = Style3D;
    } else {
        s.style = Style2D;
        setProjection(ProjectionEco);
    }
}

void MapView::cycleOrientation() {
    state_.orientation = (state_.orientation + 1) % kOrientationModes;
}

void MapView::setOrientation(int32_t mode) {
    state_.orientation = mode;
}

bool MapView::setZoomAndTilt(float newZoom, float newTilt) {
    ViewState& s = state_;
    if (newZoom < 0) return false;
    s.previousZoom = s.zoom;
    s.zoom = newZoom;
    if (perspective()) {
        s.previousTilt = s.tilt;
        s.tilt = std::clamp(newTilt, 0.0f, s.maxTilt);
        if (s.maxTilt < s.tilt + s.tiltOffset) s.tiltOffset = s.maxTilt - s.tilt;
        if (s.tilt + s.tiltOffset < 0) s.tiltOffset = -s.tilt;
        camera_->setPitch(s.tilt);
    }
    return true;
}

bool MapView::perspectiveTap(int32_t sx, int32_t sy) {
    ViewState& s = state_;
    if (!perspective() || !withinPinch(camera_->pitch())) return false;
    const Ray ray = rayThrough(*camera_, frame_.yaw, frame_.pitch, sx, sy);
    // The flat view then looks down on the tapped ground point.
    if (ray.z > 0 && s.freeView && s.freePoint.isSet()) {
        const double t = std::abs(camera_->height()) / ray.z;
        s.freePoint.x =
            num::addSat(frame_.centre.x, num::truncInt(num::over(ray.x * t, frame_.scaleX)));
        s.freePoint.y =
            num::addSat(frame_.centre.y, num::truncInt(num::over(ray.y * t, frame_.scaleY)));
    }
    camera_->setYaw(0);
    setProjection(ProjectionEco);
    s.lastAction = ActionPerspectiveTap;
    setPreview(false);
    return true;
}

bool MapView::setFixStale(bool stale) {
    const bool changed = state_.fixStale != stale;
    state_.fixStale = stale;
    return changed;
}

void MapView::followSwitch() {
    state_.freeView = false;
}

void MapView::freeSwitch() {
    ViewState& s = state_;
    if (s.freeView) return;
    if (s.freePoint.isSet()) s.zoom *= s.zoomFactor;
    s.freeView = true;
}

void MapView::freePointToVehicle(bool returnOnly) {
    ViewState& s = state_;
    if (!s.followed.isSet()) return;
    if (returnOnly)
        s.saved.freePoint = s.followed;
    else
        s.freePoint = s.followed;
}

} // namespace tevo
