#include "render/overlays/tap_marker.hpp"

#include "render/overlays/overlay_internal.hpp"

#include <algorithm>

namespace tevo {

cTapMarker::cTapMarker(SDL_Surface* screen, cPainter& painter)
    : screenSurface_(screen), painter_(painter) {
    if (screen) save_ = createSurfaceLike(*screen->format, kSize, kSize);
}

void cTapMarker::setTapMarker(ScreenPoint screen, const ViewPoint& mapPoint, bool offGround) {
    if (offGround) return;
    eraseTapMarker();
    mapPoint_ = mapPoint;
    screen_ = screen;
    active_ = true;
    lifeStarted_ = false;
    cycleStart_ = 0;
    saveNeeded_ = true;
    saved_ = false;
}

void cTapMarker::resetAnimation() {
    if (!active_) return;
    lifeStarted_ = false;
    cycleStart_ = 0;
    saveNeeded_ = true;
}

void cTapMarker::update(const SDL_Rect& rect) {
    // Only the video surface has a display to update, and only inside it.
    if (!screenSurface_ || screenSurface_ != SDL_GetVideoSurface()) return;
    const int32_t x0 = std::max<int32_t>(rect.x, 0);
    const int32_t y0 = std::max<int32_t>(rect.y, 0);
    const int32_t x1 = std::min<int32_t>(rect.x + rect.w, screenSurface_->w);
    const int32_t y1 = std::min<int32_t>(rect.y + rect.h, screenSurface_->h);
    if (x0 < x1 && y0 < y1) SDL_UpdateRect(screenSurface_, x0, y0, x1 - x0, y1 - y0);
}

void cTapMarker::restore() {
    if (!saved_ || !save_ || !screenSurface_) return;
    SDL_Rect at = saveRect_;
    SDL_BlitSurface(save_.get(), nullptr, screenSurface_, &at);
}

void cTapMarker::drawTapMarker(uint32_t now, ScreenPoint screen) {
    if (!active_ || !screenSurface_ || !save_) return;
    screen_ = screen;
    // SDL places rectangles with 16-bit coordinates; farther is off screen.
    const bool placeable = screen.x - kHalfSize >= INT16_MIN && screen.x - kHalfSize <= INT16_MAX &&
                           screen.y - kHalfSize >= INT16_MIN && screen.y - kHalfSize <= INT16_MAX;
    if (saveNeeded_ && placeable) {
        saveRect_ = SDL_Rect{static_cast<Sint16>(screen.x - kHalfSize),
                             static_cast<Sint16>(screen.y - kHalfSize), kSize, kSize};
        SDL_Rect from = saveRect_;
        SDL_FillRect(save_.get(), nullptr, 0);
        SDL_BlitSurface(screenSurface_, &from, save_.get(), nullptr);
        saved_ = true;
        saveNeeded_ = false;
    }
    if (!lifeStarted_) {
        lifeStart_ = now;
        lifeStarted_ = true;
    }
    if (now - lifeStart_ > kLifetime) {
        eraseTapMarker();
        return;
    }
    uint32_t e = now - cycleStart_;
    if (e > kCycle || static_cast<int32_t>(e) < 0) {
        cycleStart_ = now;
        e = 0;
    }
    inner_ = kStartRadius + static_cast<int32_t>(e * (kEndRadius - kStartRadius) / kCycle);
    outer_ = kStartOuterRadius +
             static_cast<int32_t>(static_cast<float>(kHalfSize - kStartOuterRadius) / kCycle * e);
    if (drawToScreen_) restore();
    PainterStyleGuard style(painter_);
    painter_.setFillColour(painter_.mapColour(kColour));
    painter_.fillRing(inner_, outer_, screen.x, screen.y);
    painter_.fillDisc(kCentreRadius, screen.x, screen.y);
    if (drawToScreen_ && placeable)
        update(SDL_Rect{static_cast<Sint16>(screen.x - kHalfSize),
                        static_cast<Sint16>(screen.y - kHalfSize), kSize, kSize});
}

void cTapMarker::eraseTapMarker() {
    if (!active_) return;
    if (save_ && screenSurface_ && saved_) {
        restore();
        update(saveRect_);
    }
    active_ = false;
    saved_ = false;
}

} // namespace tevo
