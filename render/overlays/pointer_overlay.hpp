// The vehicle pointer with its accuracy circle, and the compass.
//
// The frame calls drawPointer with the angle yaw + course - 90 only when the
// followed position is set and mapToScreen gives a visible point, then
// drawCompass with the yaw when the compass image is loaded.
#pragma once

#include "render/raster/geometry.hpp"

#include <SDL.h>

#include <cstdint>
#include <span>

namespace tevo {

class cPainter;

// Radius in pixels of the accuracy circle for a fix's hdop at zoom S (pixels
// per metre): (hdop + 1) * 5 metres, where an hdop outside 0.5..50 counts as
// -1 and so gives a dot of radius 0. Never negative; 0 for a zoom of 0 or
// below.
int32_t accuracyRadius(float hdop, float zoom);

// How the pointer of a fix is drawn: `stale` for a fix that is lost or too
// old, which has no accuracy circle and is grey.
struct PointerLook {
    float hdop = 0;
    float zoom = 0;
    bool stale = false;
};

// Draws the accuracy circle (a ring above radius 4, else a disc) in
// (183, 200, 217), then the pointer image turned by `angle` about its centre
// on `at`. Without an image, a triangle (red, or grey when stale) points
// along the course axis d = (R0, R3) with the cross axis n = (R1, R4) of the
// fixed-point (x 1024) course matrix, row-major. The caller passes the grey
// image for a stale fix.
void drawPointer(cPainter& painter, SDL_Surface* image, float angle, ScreenPoint at,
                 const PointerLook& look, std::span<const int32_t, 9> courseMatrix);

// Draws the compass image turned by the yaw about its centre on `at`;
// nothing without an image.
void drawCompass(cPainter& painter, SDL_Surface* image, float yaw, ScreenPoint at);

} // namespace tevo
