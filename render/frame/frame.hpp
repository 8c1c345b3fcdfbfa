// The map of one frame, drawn from its description: the passes over the
// loaded blocks of the level, the tracks, the names, then the pointer, the
// scale bar and the compass. The stages read the description and draw
// through the canvas; none of them knows the view.
#pragma once

#include "map/map_objects.hpp"
#include "render/frame/frame_view.hpp"
#include "render/overlays/view_overlays.hpp"
#include "render/raster/painter.hpp"
#include "render/raster/prism.hpp"

#include <vector>

namespace tevo {

// What the stages draw with: the painter and the overlays, and the point
// buffers that the passes reuse from object to object and frame to frame.
struct FrameCanvas {
    FrameCanvas(cPainter& painter, cViewOverlays& overlays);
    cPainter& painter;
    cViewOverlays& overlays;
    std::vector<ScreenPoint> points;  // an object in Eco screen points
    std::vector<ScreenPoint> clipped; // an object projected in perspective
    std::vector<GroundPoint> ground;  // an object in view-centred ground pixels
    std::vector<ScreenPoint> path;    // the visible path of the last line drawn
    PrismBuffers prism;
    // Room for n points in `points`, grown by at least 32 points at a time.
    void reservePoints(size_t n);
};

// Draws the map of the frame (or the notice that the view is off the map),
// then the pointer, scale bar and compass over it. False when the frame
// ended before its overlays: the level is gone, or its scale cannot be held.
bool drawMap(const FrameView& frame, FrameCanvas& canvas, const cPtrArray<cPolyLine>& tracks);

} // namespace tevo
