// A small PNG writer over zlib: 8-bit RGB, no filtering.
#pragma once

#include <SDL.h>

#include <string>

namespace tevo {

// Writes the surface's pixels as an RGB PNG; false when the file cannot be
// written or the surface cannot be read.
bool writePng(SDL_Surface* surface, const std::string& path);

} // namespace tevo
