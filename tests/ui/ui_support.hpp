// A video mode and surfaces for the text and picture tests. The dummy
// desktop is 8 bits deep, so the tests ask for 32 bits and make their own
// 16- and 32-bit surfaces.
#pragma once

#include "ui/surface.hpp"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace tevo::test {

inline const std::string kFontPath = std::string(TEVO_DIST_DIR) + "/DejaVuSans.ttf";

// Opens the dummy video mode once for the whole suite.
class VideoTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!SDL_WasInit(SDL_INIT_VIDEO)) SDL_Init(SDL_INIT_VIDEO);
        if (!SDL_GetVideoSurface()) SDL_SetVideoMode(64, 64, 32, SDL_SWSURFACE);
    }
};

inline OwnedSurface makeSurface(int w, int h, int bpp) {
    if (bpp == 16)
        return OwnedSurface(
            SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, 0xF800, 0x07E0, 0x001F, 0));
    return OwnedSurface(
        SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0));
}

inline uint32_t pixelAt(const SDL_Surface* s, int x, int y) {
    const uint8_t* p = static_cast<const uint8_t*>(s->pixels) + y * s->pitch;
    uint32_t v = 0;
    if (s->format->BytesPerPixel == 2) {
        uint16_t v16;
        std::memcpy(&v16, p + 2 * x, 2);
        return v16;
    }
    std::memcpy(&v, p + 4 * x, 4);
    return v;
}

inline uint32_t rgb(const SDL_Surface* s, uint8_t r, uint8_t g, uint8_t b) {
    return SDL_MapRGB(s->format, r, g, b);
}

inline int countPixels(const SDL_Surface* s, uint32_t pixel) {
    int n = 0;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x) n += pixelAt(s, x, y) == pixel;
    return n;
}

} // namespace tevo::test
