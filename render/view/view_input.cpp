// The operations of the keys and the pointer: zoom, tilt, rotation, drags,
// the preview, the projection and orientation cycles, the perspective tap.
#include "render/raster/numbers.hpp"
#include "render/view/map_view.hpp"

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
    lastAction = ActionZoom;
    levelChoiceKind = direction;
    const float d =
        static_cast<float>(std::max({viewport.x1 - viewport.x0, viewport.y1 - viewport.y0, 1}));
    const float m = minMetresPerPixel, s = zoomStepSize;
    const float z = usableZoom(zoom);
    if (!freeView) {
        // The follow view scales the user's factor.
        float f = usableZoom(zoomFactor);
        f = direction == 0 ? f * (1 + s) : f / (1 + s);
        if (d / (z * f) > kWidestMetres) f = d / (kWidestMetres * z);
        if (z * f > 1 / m) f = (1 / m) / z;
        previousZoomFactor = zoomFactor;
        zoomFactor = f;
        return;
    }
    // The free view steps the metres per pixel toward or away from the minimum.
    const float e = 1 / z;
    float next;
    if (direction == 0) {
        next = e >= m ? m + (1 - s) * (e - m) : m;
    } else {
        float h = s * (e - m);
        if ((e + h) / m - 1 < kSmallestOutStep) h = m / 2;
        next = e + h;
        if (d * next > kWidestMetres) next = kWidestMetres / d;
    }
    const float newZoom = 1 / next;
    if (newZoom >= 0) {
        previousZoom = zoom;
        zoom = newZoom;
        zoomCopy = newZoom;
    }
}

void MapView::tiltBy(float delta) {
    lastAction = ActionTilt;
    tiltOffset += delta;
    if (maxTilt < tilt + tiltOffset) tiltOffset = maxTilt - tilt;
    if (tilt + tiltOffset < 0) tiltOffset = -tilt;
}

void MapView::rotateBy(float delta) {
    lastAction = ActionRotate;
    camera->setYaw(camera->yaw() + delta);
    if (!rotateAboutPivot || !pivot || !pivot->isSet() || !withinPinch(camera->pitch())) return;
    // Re-place the target so that the pivot stays where it is seen.
    const Ray v = rayThrough(*camera, camera->yaw(), camera->pitch(), camera->followedScreenX,
                             camera->followedScreenY);
    const double t = num::over(std::abs(pivot->z), v.z);
    const double z = usableZoom(zoom);
    camera->targetX = num::addSat(pivot->x, -int64_t{num::truncInt(num::over(v.x * t, kx * z))});
    camera->targetY = num::addSat(pivot->y, -int64_t{num::truncInt(num::over(v.y * t, -ky * z))});
}

void MapView::dragBy(int32_t dx, int32_t dy) {
    lastAction = ActionDrag;
    if (previewOn) {
        previewOffsetX = num::addSat(previewOffsetX, -int64_t{dx});
        previewOffsetY = num::addSat(previewOffsetY, -int64_t{dy});
        return;
    }
    if (!freePoint.isSet()) return;
    const double phi = frameYaw * kDegreesToRadians;
    const double c = std::cos(phi), s = std::sin(phi);
    freePoint.x = num::addSat(freePoint.x, num::truncInt(num::over(c * dx - s * dy, Sx)));
    freePoint.y = num::addSat(freePoint.y, num::truncInt(num::over(c * dy + s * dx, Sy)));
}

void MapView::grabDrag(const ViewPoint& grabbed, int32_t sx, int32_t sy) {
    if (!freeView) return;
    const ViewPoint c0 = centreFor(freePoint, camera->followedScreenX, camera->followedScreenY);
    const ViewPoint c1 = centreFor(grabbed, sx, sy);
    freePoint.x = num::addSat(freePoint.x, int64_t{c1.x} - c0.x);
    freePoint.y = num::addSat(freePoint.y, int64_t{c1.y} - c0.y);
}

bool MapView::setPreview(bool on) {
    if (perspective()) return false;
    if (on == previewOn) return true;
    if (on) {
        previewOffsetX = previewOffsetY = 0;
        if (!video) return false;
        const SDL_PixelFormat* f = video->format;
        SDL_Surface* surface =
            SDL_CreateRGBSurface(SDL_SWSURFACE, video->w, video->h, f->BitsPerPixel, f->Rmask,
                                 f->Gmask, f->Bmask, f->Amask);
        if (!surface) return false;
        if (!painter->bindSurface(surface)) {
            SDL_FreeSurface(surface);
            return false;
        }
        preview = surface;
        previewRect = viewport;
        composeMap();
        previewOn = true;
        return true;
    }
    if (!painter->bindSurface(video)) return false;
    SDL_FreeSurface(preview);
    preview = nullptr;
    previewOn = false;
    return true;
}

void MapView::setProjection(int32_t mode) {
    if (mode == projection) return;
    if (projection == ProjectionEco) {
        previousTilt = tilt;
        camera->setPitch(tilt);
    }
    setPreview(false);
    projection = mode;
}

void MapView::cycleProjection() {
    if (projection == ProjectionEco) {
        style3D = Style2D;
        setProjection(ProjectionPerspective);
    } else if (style3D == Style2D) {
        style3D = Style3D;
    } else {
        style3D = Style2D;
        setProjection(ProjectionEco);
    }
}

void MapView::cycleOrientation() {
    orientation = (orientation + 1) % kOrientationModes;
}

bool MapView::setZoomAndTilt(float newZoom, float newTilt) {
    if (newZoom < 0) return false;
    previousZoom = zoom;
    zoom = newZoom;
    if (perspective()) {
        previousTilt = tilt;
        tilt = std::clamp(newTilt, 0.0f, maxTilt);
        if (maxTilt < tilt + tiltOffset) tiltOffset = maxTilt - tilt;
        if (tilt + tiltOffset < 0) tiltOffset = -tilt;
        camera->setPitch(tilt);
    }
    return true;
}

bool MapView::perspectiveTap(int32_t sx, int32_t sy) {
    if (!perspective() || !withinPinch(camera->pitch())) return false;
    const Ray ray = rayThrough(*camera, frameYaw, framePitch, sx, sy);
    if (ray.z > 0) {
        const double t = std::abs(camera->height()) / ray.z;
        const double z = usableZoom(zoom);
        camera->targetX = num::addSat(camera->targetX, num::truncInt(num::over(ray.x * t, kx * z)));
        camera->targetY =
            num::addSat(camera->targetY, num::truncInt(num::over(ray.y * t, -z * ky)));
        // The flat view then looks down on the tapped ground point.
        if (freeView && freePoint.isSet()) {
            freePoint.x = num::addSat(centre.x, num::truncInt(num::over(ray.x * t, Sx)));
            freePoint.y = num::addSat(centre.y, num::truncInt(num::over(ray.y * t, Sy)));
        }
    }
    camera->setYaw(0);
    setProjection(ProjectionEco);
    lastAction = ActionPerspectiveTap;
    setPreview(false);
    return true;
}

void MapView::followSwitch() {
    if (!freeView) return;
    pivot = &followed;
    camera->targetX = followed.x;
    camera->targetY = followed.y;
    freeView = false;
}

void MapView::freeSwitch() {
    if (!freeView) {
        if (freePoint.isSet()) {
            pivot = &freePoint;
            camera->targetX = freePoint.x;
            camera->targetY = freePoint.y;
            zoom *= zoomFactor;
        }
        freeView = true;
    }
}

} // namespace tevo
