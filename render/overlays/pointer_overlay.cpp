#include "render/overlays/pointer_overlay.hpp"

#include "render/overlays/overlay_internal.hpp"
#include "render/raster/rotated_blit.hpp"

#include <cmath>

namespace tevo {

namespace {

constexpr float kHdopLow = 0.5f;
constexpr float kHdopHigh = 50.0f;
constexpr float kMetresPerHdop = 5.0f;
// Rings wider than this would cover the screen many times over.
constexpr float kLargestRadius = 1 << 20;
constexpr int32_t kRingFrom = 4;
constexpr uint32_t kAccuracyColour = 0x00D9C8B7;      // (183, 200, 217)
constexpr uint32_t kTriangleColour = 0x000000FF;      // red
constexpr uint32_t kStaleTriangleColour = 0x00808080; // grey
// Triangle half sizes along and across the course, in pixels.
constexpr int32_t kTriangleLength = 8;
constexpr int32_t kTriangleWidth = 4;
constexpr int kFixedShift = 10;

} // namespace

int32_t accuracyRadius(float hdop, float zoom) {
    float e = hdop;
    if (!(e >= kHdopLow && e <= kHdopHigh)) e = -1.0f;
    const float r = (e + 1.0f) * kMetresPerHdop * zoom;
    if (!(r > 0.0f)) return 0;
    return static_cast<int32_t>(std::fmin(r, kLargestRadius));
}

void drawPointer(cPainter& painter, SDL_Surface* image, float angle, ScreenPoint at,
                 const PointerLook& look, std::span<const int32_t, 9> courseMatrix) {
    if (!painter.surface()) return;
    PainterStyleGuard style(painter);
    // A stale fix says nothing of its accuracy now.
    if (!look.stale) {
        painter.setFillColour(painter.mapColour(kAccuracyColour));
        const int32_t r = accuracyRadius(look.hdop, look.zoom);
        if (r > kRingFrom)
            painter.fillRing(r - 1, r, at.x, at.y);
        else
            painter.fillDisc(r, at.x, at.y);
    }

    if (image) {
        rotatedBlit(painter, image, angle, at, ScreenPoint{image->w / 2, image->h / 2});
        return;
    }
    const int32_t dx = courseMatrix[0], dy = courseMatrix[3];
    const int32_t nx = courseMatrix[1], ny = courseMatrix[4];
    const int32_t backX = at.x - ((kTriangleLength * dx) >> kFixedShift);
    const int32_t backY = at.y - ((kTriangleLength * dy) >> kFixedShift);
    const ScreenPoint triangle[3] = {
        {at.x + ((kTriangleLength * dx) >> kFixedShift),
         at.y + ((kTriangleLength * dy) >> kFixedShift)},
        {backX - ((kTriangleWidth * nx) >> kFixedShift),
         backY - ((kTriangleWidth * ny) >> kFixedShift)},
        {backX + ((kTriangleWidth * nx) >> kFixedShift),
         backY + ((kTriangleWidth * ny) >> kFixedShift)},
    };
    painter.setFillColour(painter.mapColour(look.stale ? kStaleTriangleColour : kTriangleColour));
    painter.fillPolygon(triangle, 3);
}

void drawCompass(cPainter& painter, SDL_Surface* image, float yaw, ScreenPoint at) {
    if (!image) return;
    rotatedBlit(painter, image, yaw, at, ScreenPoint{image->w / 2, image->h / 2});
}

} // namespace tevo
