#include "render/overlays/stale_pointer.hpp"

#include <cstring>

namespace tevo {

namespace {

// Greys run from this level (black) to this level plus the span (white).
constexpr uint32_t kDarkestGrey = 96;
constexpr uint32_t kGreySpan = 128;

uint32_t pixelAt(const SDL_Surface& s, int x, int y) {
    const uint8_t* row = static_cast<const uint8_t*>(s.pixels) + y * s.pitch;
    if (s.format->BytesPerPixel == 2) {
        uint16_t v = 0;
        std::memcpy(&v, row + x * 2, sizeof v);
        return v;
    }
    uint32_t v = 0;
    std::memcpy(&v, row + x * 4, sizeof v);
    return v;
}

void setPixel(SDL_Surface& s, int x, int y, uint32_t value) {
    uint8_t* row = static_cast<uint8_t*>(s.pixels) + y * s.pitch;
    if (s.format->BytesPerPixel == 2) {
        const auto v = static_cast<uint16_t>(value);
        std::memcpy(row + x * 2, &v, sizeof v);
        return;
    }
    std::memcpy(row + x * 4, &value, sizeof value);
}

} // namespace

uint32_t greyOf(uint32_t rgb) {
    const uint32_t r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
    // Brightness with the eye's weights (ITU-R BT.601), in 0..255.
    const uint32_t luma = (r * 299 + g * 587 + b * 114) / 1000;
    const uint32_t grey = kDarkestGrey + luma * kGreySpan / 255;
    return grey | (grey << 8) | (grey << 16);
}

OwnedSurface greyedCopy(SDL_Surface* image) {
    if (!image) return {};
    const int bytes = image->format->BytesPerPixel;
    if (bytes != 2 && bytes != 4) return {};
    OwnedSurface copy(SDL_ConvertSurface(image, image->format, SDL_SWSURFACE));
    if (!copy) return {};
    const bool keyed = (image->flags & SDL_SRCCOLORKEY) != 0;
    const uint32_t key = image->format->colorkey;
    if (SDL_LockSurface(copy.get()) != 0) return {};
    for (int y = 0; y < copy->h; ++y)
        for (int x = 0; x < copy->w; ++x) {
            const uint32_t v = pixelAt(*copy, x, y);
            if (keyed && v == key) continue;
            Uint8 r = 0, g = 0, b = 0;
            SDL_GetRGB(v, copy->format, &r, &g, &b);
            const uint32_t grey = greyOf(r | (g << 8) | (uint32_t{b} << 16)) & 0xFF;
            const auto level = static_cast<Uint8>(grey);
            uint32_t out = SDL_MapRGB(copy->format, level, level, level);
            // A grey that happens to equal the key would vanish: one step off.
            if (keyed && out == key) out = SDL_MapRGB(copy->format, level, level, level + 1);
            setPixel(*copy, x, y, out);
        }
    SDL_UnlockSurface(copy.get());
    if (keyed) SDL_SetColorKey(copy.get(), SDL_SRCCOLORKEY, key);
    return copy;
}

} // namespace tevo
