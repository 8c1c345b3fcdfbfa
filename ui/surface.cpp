#include "ui/surface.hpp"

#include "platform/regular_file.hpp"

#include <SDL_image.h>

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

OwnedSurface loadImage(const std::string& path) {
    SDL_RWops* file = openRegularRW(path);
    if (file == nullptr) return nullptr;
    // The extension names the format for the decoders that cannot tell it
    // from the bytes, as the library's own loading by name does.
    const std::size_t dot = path.rfind('.');
    std::string type = dot == std::string::npos ? std::string() : path.substr(dot + 1);
    return OwnedSurface(IMG_LoadTyped_RW(file, 1, type.data()));
}

} // namespace tevo
