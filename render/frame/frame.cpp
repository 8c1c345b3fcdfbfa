// The frame: the map of the chosen level pass by pass, then the names and
// the overlays; the preview shown in its place while a flat drag goes on.
#include "platform/clock.hpp"
#include "render/frame/frame_internal.hpp"
#include "render/raster/numbers.hpp"

#include <thread>

namespace tevo {

namespace {
constexpr float kRightAngle = 90.0f;
} // namespace

void MapView::drawFrame() {
    // 1. Timing.
    const uint32_t t0 = ticks();
    frameIntervalMs = hasPreviousFrame ? static_cast<int32_t>(t0 - previousFrameStart) : 0;
    previousFrameStart = t0;
    hasPreviousFrame = true;
    // 2. The background; the preview keeps its picture, drawn below.
    if (!previewOn) painter->clearArea(background);
    if (!mapOpen()) {
        // 3. No map.
        overlays->drawMapAbsent();
    } else if (!previewOn) {
        // 4. The map, or the preview shifted by the drag.
        composeMap();
    } else if (video && preview) {
        SDL_Rect area{static_cast<Sint16>(viewport.x0), static_cast<Sint16>(viewport.y0),
                      static_cast<Uint16>(viewport.x1 - viewport.x0 + 1),
                      static_cast<Uint16>(viewport.y1 - viewport.y0 + 1)};
        SDL_FillRect(video, &area,
                     SDL_MapRGB(video->format, background & 0xFF, (background >> 8) & 0xFF,
                                (background >> 16) & 0xFF));
        SDL_Rect from = area;
        SDL_Rect to{static_cast<Sint16>(viewport.x0 + previewOffsetX),
                    static_cast<Sint16>(viewport.y0 + previewOffsetY), 0, 0};
        SDL_BlitSurface(preview, &from, video, &to);
    }
    // 5. What the frame cost.
    drawTimeMs = static_cast<int32_t>(ticks() - t0);
}

void MapView::composeMap() {
    cPainter::BusyGuard busy(*painter);
    // 1. Drawing reaches the whole fill area.
    const PixelRect fill = painter->fillArea();
    painter->setClip(fill);
    painter->setBounds({0, 0, fill.right, fill.bottom});
    // 2.-3. Camera, footprint and level; a corrected zoom moves the camera.
    updateCamera();
    updateFootprint();
    const int choice = chooseLevel(levelChoiceKind);
    if (choice == 1) {
        updateCamera();
        updateFootprint();
    }
    // 4. The shift of the bulk projection.
    const float k = freeView ? 1.0f : zoomFactor;
    int32_t shift = fixedShift(Sx);
    if (shift == -1) {
        shift = fixedShift(k * kx * previousZoom);
        Sx = k * kx * previousZoom;
        Sy = k * (-ky * previousZoom);
    }
    // 5. Scales, view direction and depth limits.
    frame::Bulk bulk(*this);
    bulk.shift = shift < 0 ? kFixedShift : shift;
    bulk.a = num::truncInt(static_cast<double>(int64_t{1} << bulk.shift) * Sx);
    bulk.b = num::truncInt(static_cast<double>(int64_t{1} << bulk.shift) * Sy);
    bulk.cx = centre.x;
    bulk.cy = centre.y;
    bulk.eco = !perspective();
    bulk.viewport = {viewport.x0, viewport.y0, viewport.x1, viewport.y1};
    viewDirection = {frameMatrix[2], frameMatrix[5], frameMatrix[8]};
    nearFar(num::truncInt(kNearCoefficient * S), nearZ, farZ);
    if (choice == -1) {
        // 6. Off the map: the text, then the overlays.
        overlays->drawOutOfMap(camera->principalX, camera->principalY);
    } else {
        // 7. A clean slate for labels and depths.
        overlays->beginFrame();
        if (perspective() && painter->depth().hasStorage()) painter->depth().clear();
        // 8. The level, its cache brought to the footprint.
        cMapLevel* level = mapFile.selectLevel(wantedLevel, footprint);
        wantedLevel = level;
        if (!level || shift < 0) return;
        // 9.-11. The passes, then tracks and names.
        markThreshold = 0;
        for (const auto& block : level->indexBlocks()) {
            std::this_thread::yield();
            frame::drawPolygons(bulk, *block);
            frame::drawPolylines(bulk, *block);
            frame::drawUpperPolygons(bulk, *block);
            frame::drawPois(bulk, *block);
        }
        frame::drawTracks(bulk);
        overlays->drawNames();
    }
    // 12. Pointer, scale bar, compass.
    overlays->drawPointer(frameYaw + course - kRightAngle);
    overlays->drawScaleBar();
    if (overlays->hasCompass()) overlays->drawCompass(frameYaw, course);
    // 13. A tap marker starts again after the view moved.
    if (lastAction != ActionNone && overlays->tapMarkerActive())
        overlays->resetTapMarkerAnimation();
    lastAction = ActionNone;
    // 14. The tap marker after the frame.
    if (afterFrameHook) overlays->drawTapMarker();
    // 15.
    levelChoiceKind = ChoiceOther;
}

} // namespace tevo
