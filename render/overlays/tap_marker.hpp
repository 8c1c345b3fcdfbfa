// The tap marker: a pulsing ring on the map point the user tapped, drawn
// over the finished frame and kept for 8 seconds. It saves the 64 x 64
// pixels under it and puts them back when it moves on or goes.
//
// The view holds one. setTapMarker takes the tap's map point from the view's
// screenToMap; after a frame in which the user acted, resetAnimation(); in
// the free view, after the frame, draw() at the marker's projected point with
// drawToScreen false; between frames the main loop may call draw() with
// drawToScreen true to animate it in place.
#pragma once

#include "render/raster/geometry.hpp"
#include "ui/surface.hpp"

#include <SDL.h>

#include <cstdint>

namespace tevo {

class cPainter;

class cTapMarker {
public:
    static constexpr int32_t kHalfSize = 32;
    static constexpr int32_t kSize = 2 * kHalfSize;
    static constexpr uint32_t kColour = 0x00FFBA00; // red 0, green 186, blue 255
    static constexpr int32_t kStartRadius = 1;
    static constexpr int32_t kEndRadius = 29;
    static constexpr int32_t kStartOuterRadius = 4;
    static constexpr int32_t kCentreRadius = 3;
    static constexpr uint32_t kCycle = 1000;    // ms
    static constexpr uint32_t kLifetime = 8000; // ms

    // Over the video surface, drawing through the painter bound to it.
    cTapMarker(SDL_Surface* screen, cPainter& painter);

    // A tap at `screen` on map point `mapPoint`; ignored when the tap was
    // above the horizon. Replaces (erases) the current marker.
    void setTapMarker(ScreenPoint screen, const ViewPoint& mapPoint, bool offGround);

    // After a frame in which the user acted: the marker starts its life and
    // animation again and saves the new picture under it.
    void resetAnimation();

    // Draws the marker at tick `now` centred on `screen` (the projection of
    // its map point). The first draw after a tap starts the 8 s life; after
    // it the marker erases itself. With drawToScreen, the saved pixels are
    // put back before drawing and the screen rectangle is updated at once.
    void drawTapMarker(uint32_t now, ScreenPoint screen);

    // Puts back the saved pixels, updates that rectangle and deactivates.
    void eraseTapMarker();

    // A new frame lies under the marker: the next draw saves its pixels, so
    // that the animation between frames puts back this frame, not an older.
    void frameRedrawn() { saveNeeded_ = saveNeeded_ || active_; }

    // Forgets the marker without touching the screen (the frame redraws).
    void clear() { active_ = false; }

    bool active() const { return active_; }
    bool drawToScreen() const { return drawToScreen_; }
    void setDrawToScreen(bool on) { drawToScreen_ = on; }
    const ViewPoint& mapPoint() const { return mapPoint_; }
    ScreenPoint screenPoint() const { return screen_; }
    // Ring radii of the last draw.
    int32_t innerRadius() const { return inner_; }
    int32_t outerRadius() const { return outer_; }

private:
    void restore();
    void update(const SDL_Rect& rect);

    SDL_Surface* screenSurface_;
    cPainter& painter_;
    OwnedSurface save_;
    SDL_Rect saveRect_{0, 0, kSize, kSize};
    bool saved_ = false; // the save surface holds the pixels under saveRect_
    bool saveNeeded_ = true;
    bool drawToScreen_ = true;
    bool active_ = false;
    bool lifeStarted_ = false;
    uint32_t lifeStart_ = 0;
    uint32_t cycleStart_ = 0;
    ViewPoint mapPoint_;
    ScreenPoint screen_;
    int32_t inner_ = 0;
    int32_t outer_ = 0;
};

} // namespace tevo
