// The passes of a frame over the loaded blocks of one index block, in the
// order the frame runs them, and the tracks after the last block.
#pragma once

#include "render/frame/frame.hpp"

namespace tevo::frame {

// Object types drawn only when their box is big enough: the smallest areas
// and the buildings that a map carries in thousands.
bool isMinorArea(int32_t type);
// Objects of more than this many points are culled by their boxes first.
inline constexpr size_t kBoxCullPoints = 8;

// Areas, then lines, then the areas drawn over the lines, then POIs.
void drawPolygons(const FrameView& frame, FrameCanvas& canvas, const cIndexBlock& block);
void drawPolylines(const FrameView& frame, FrameCanvas& canvas, const cIndexBlock& block);
void drawUpperPolygons(const FrameView& frame, FrameCanvas& canvas, const cIndexBlock& block);
void drawPois(const FrameView& frame, FrameCanvas& canvas, const cIndexBlock& block);
// The route of the frame's description, over the roads and buildings.
void drawRoute(const FrameView& frame, FrameCanvas& canvas);
void drawTracks(const FrameView& frame, FrameCanvas& canvas, const cPtrArray<cPolyLine>& tracks);

// Fills one area in the painter's fill colour; true when something was
// drawn. `anchor` receives where its name goes.
bool fillArea(const FrameView& frame, FrameCanvas& canvas, const cPolyLine& o, ScreenPoint& anchor);

} // namespace tevo::frame
