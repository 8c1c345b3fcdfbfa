// The vehicle pointer of a fix that is lost or too old to be trusted: the
// same picture in greys, so that the map still shows where the vehicle was
// last seen without pretending that it is there now.
#pragma once

#include "ui/surface.hpp"

#include <cstdint>

namespace tevo {

// Grey of a colour (0x00BBGGRR): its brightness, lifted and flattened so
// that the darkest outline stays readable and nothing looks live.
uint32_t greyOf(uint32_t rgb);

// A copy of `image` with every pixel but its colour key turned to its grey;
// the key is kept. Null when `image` is null or not of 2 or 4 bytes a pixel.
OwnedSurface greyedCopy(SDL_Surface* image);

} // namespace tevo
