// Copies of images onto the painter's surface, inside its clip rectangle:
// straight, and turned about an anchor point (pointer, compass, street names).
#pragma once

#include "render/raster/geometry.hpp"

#include <SDL.h>

namespace tevo {

class cPainter;

// Draws `source` onto the painter's surface turned by `angleDegrees` so that
// the source point `anchor` lands on `target`. A source offset (dx, dy) from
// the anchor lands at target + (c*dx + s*dy, -s*dx + c*dy) with c and s the
// cosine and sine times 1024 (truncated), shifted back by 10: positive angles
// turn counter-clockwise on the screen. Pixels of the source's colour key are
// not drawn. A source in another pixel format is converted for the call.
// False when nothing could be drawn (no source, no surface, wholly clipped).
bool rotatedBlit(cPainter& painter, SDL_Surface* source, float angleDegrees, ScreenPoint target,
                 ScreenPoint anchor);

// Blits `part` of `source` (null: all of it) with its top-left corner at `at`,
// clipped to the painter's clip rectangle, honouring the source's colour key.
bool blitToPainter(cPainter& painter, SDL_Surface* source, const SDL_Rect* part, ScreenPoint at);

} // namespace tevo
