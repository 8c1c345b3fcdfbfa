#include "ui/surface.hpp"

namespace tevo {

OwnedSurface createSurfaceLike(const SDL_PixelFormat& format, int w, int h) {
    if (w <= 0 || h <= 0) return nullptr;
    OwnedSurface s(SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, format.BitsPerPixel, format.Rmask,
                                        format.Gmask, format.Bmask, 0));
    // Palette surfaces take the palette of the surface they imitate.
    if (s && format.palette && s->format->palette)
        SDL_SetColors(s.get(), format.palette->colors, 0, format.palette->ncolors);
    return s;
}

OwnedSurface convertForDisplay(SDL_Surface* image) {
    if (!image) return nullptr;
    if (SDL_GetVideoSurface()) {
        if (SDL_Surface* converted = SDL_DisplayFormat(image)) return OwnedSurface(converted);
    }
    return OwnedSurface(SDL_ConvertSurface(image, image->format, SDL_SWSURFACE));
}

} // namespace tevo
