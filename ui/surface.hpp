// Ownership of SDL surfaces.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

namespace tevo {

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};

// A surface owned by exactly one object; empty means absent.
using OwnedSurface = std::unique_ptr<SDL_Surface, SurfaceFree>;

// A software surface of w x h pixels in the pixel layout of `format`, without
// an alpha channel; null when SDL cannot create it.
OwnedSurface createSurfaceLike(const SDL_PixelFormat& format, int w, int h);

// Converts `image` to the display format, or to its own format when no video
// mode is set (so that loading works before the window exists); null on failure.
OwnedSurface convertForDisplay(SDL_Surface* image);

// The picture file at `path`, read only when it is a regular file (a pipe or
// a device in its place is not waited on); null when it cannot be read.
OwnedSurface loadImage(const std::string& path);

} // namespace tevo
