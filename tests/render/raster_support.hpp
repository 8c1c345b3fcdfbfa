// Surfaces and pixel reading for the rasteriser tests.
#pragma once

#include "render/raster/painter.hpp"

#include <SDL.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>

namespace tevo::test {

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// A software surface of 16 (RGB 565) or 32 bits per pixel.
inline SurfacePtr makeSurface(int w, int h, int bpp) {
    if (bpp == 16)
        return SurfacePtr(SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, 0xF800, 0x07E0, 0x001F, 0));
    return SurfacePtr(
        SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0));
}

inline uint32_t pixelAt(const SDL_Surface* s, int x, int y) {
    const uint8_t* p = static_cast<const uint8_t*>(s->pixels) + y * s->pitch;
    if (s->format->BytesPerPixel == 2) {
        uint16_t v;
        std::memcpy(&v, p + 2 * x, 2);
        return v;
    }
    uint32_t v;
    std::memcpy(&v, p + 4 * x, 4);
    return v;
}

inline void fillSurface(SDL_Surface* s, uint32_t pixel) {
    SDL_FillRect(s, nullptr, pixel);
}

// Rows of the surface as text, '#' where the pixel has the given value and
// '.' elsewhere; for readable failure messages.
inline std::string picture(const SDL_Surface* s, uint32_t pixel, int x0, int y0, int x1, int y1) {
    std::string out;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) out += pixelAt(s, x, y) == pixel ? '#' : '.';
        out += '\n';
    }
    return out;
}

// Number of pixels of the given value.
inline int countPixels(const SDL_Surface* s, uint32_t pixel) {
    int n = 0;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x) n += pixelAt(s, x, y) == pixel;
    return n;
}

// Whether anything outside `r` differs from `background`.
inline bool touchedOutside(const SDL_Surface* s, const PixelRect& r, uint32_t background) {
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x)
            if (!r.contains(x, y) && pixelAt(s, x, y) != background) return true;
    return false;
}

// Background and ink values that differ in both pixel formats.
constexpr uint32_t kPaper = 0x00FFFFFF; // white, 0x00BBGGRR
constexpr uint32_t kInk = 0x00000000;   // black
constexpr uint32_t kRed = 0x000000FF;
constexpr uint32_t kBlue = 0x00FF0000;

// A surface filled with paper and a painter bound to it, inking with kInk.
struct Canvas {
    Canvas(int w, int h, int bpp = 32) : surface(makeSurface(w, h, bpp)), painter(surface.get()) {
        fillSurface(surface.get(), painter.mapColour(kPaper));
        painter.setFillColour(painter.mapColour(kInk));
    }
    uint32_t ink() const { return painter.mapColour(kInk); }
    std::string rows(int x0, int y0, int x1, int y1) const {
        return picture(surface.get(), painter.mapColour(kInk), x0, y0, x1, y1);
    }
    SurfacePtr surface;
    cPainter painter;
};

} // namespace tevo::test
