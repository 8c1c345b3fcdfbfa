// The stages of the map of one frame, in order: the level's blocks pass by
// pass, the route, the tracks, the names, then the pointer, the scale bar and the
// compass.
#include "render/frame/frame.hpp"

#include "render/frame/passes.hpp"

#include <thread>

namespace tevo {

namespace {

constexpr size_t kPointCapacity = 128;
constexpr size_t kClippedCapacity = 256;
constexpr size_t kGrowStep = 32;

// The level's blocks pass by pass, then the tracks and the names; false
// when there is no level to draw or its scale cannot be held.
bool drawLevel(const FrameView& f, FrameCanvas& canvas, const cPtrArray<cPolyLine>& tracks) {
    // A clean slate for labels and depths.
    canvas.overlays.beginFrame();
    cZBuffer& depth = canvas.painter.depth();
    if (!f.eco && depth.hasStorage()) depth.clear();
    if (!f.level || !f.scaleHeld) return false;
    for (const auto& block : f.level->indexBlocks()) {
        // A frame of a big level takes a while: let the other threads run.
        std::this_thread::yield();
        frame::drawPolygons(f, canvas, *block);
        frame::drawPolylines(f, canvas, *block);
        frame::drawUpperPolygons(f, canvas, *block);
        frame::drawPois(f, canvas, *block);
    }
    // The route under the tracks: the narrow track of a drive along the
    // route runs down its middle and both stay visible.
    frame::drawRoute(f, canvas);
    frame::drawTracks(f, canvas, tracks);
    canvas.overlays.drawNames();
    return true;
}

void drawOverlays(const FrameView& f, cViewOverlays& overlays) {
    if (f.followed.isSet()) {
        const ScreenHit at = f.mapToScreen(f.followed.x, f.followed.y);
        if (at.visible)
            overlays.drawPointer({at.x, at.y}, f.pointerAngle, f.hdop, f.scale, f.fixStale,
                                 f.courseMatrix);
    }
    overlays.drawScaleBar(f.scale);
    if (overlays.hasCompass()) overlays.drawCompass(f.yaw);
}

} // namespace

FrameCanvas::FrameCanvas(cPainter& p, cViewOverlays& o) : painter(p), overlays(o) {
    points.reserve(kPointCapacity);
    clipped.reserve(kClippedCapacity);
    ground.reserve(kPointCapacity);
}

void FrameCanvas::reservePoints(size_t n) {
    const size_t capacity = points.capacity();
    if (capacity >= n) return;
    points.reserve(n - capacity > kGrowStep - 1 ? n : capacity + kGrowStep);
}

bool drawMap(const FrameView& frame, FrameCanvas& canvas, const cPtrArray<cPolyLine>& tracks) {
    if (frame.offMap)
        canvas.overlays.drawOutOfMap({frame.camera->principalX, frame.camera->principalY});
    else if (!drawLevel(frame, canvas, tracks))
        return false;
    drawOverlays(frame, canvas.overlays);
    return true;
}

} // namespace tevo
