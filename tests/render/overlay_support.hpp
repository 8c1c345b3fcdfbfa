// The map font and surfaces for the overlay tests.
#pragma once

#include "render/raster/painter.hpp"
#include "render/raster_support.hpp"
#include "ui/text_style.hpp"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

namespace tevo::test {

inline const std::string kMapFontPath = std::string(TEVO_DIST_DIR) + "/DejaVuSans.ttf";
inline constexpr int32_t kMapFontSize = 14;

// Printable ASCII and the Russian alphabet, in ascending order.
inline std::u16string mapCharacters() {
    std::u16string set;
    for (char16_t c = 0x20; c < 0x7F; ++c) set += c;
    for (char16_t c = 0x410; c < 0x450; ++c) set += c;
    return set;
}

// The map text style over a surface, with its glyph strip built.
inline void openMapFont(TextStyle& style, SDL_Surface* target) {
    ASSERT_TRUE(style.openFont(target, kMapFontPath, kMapFontSize));
    style.buildGlyphStrip(mapCharacters());
    ASSERT_GT(style.glyphCount(), 0);
}

// A copy of a surface's pixels, to compare before and after.
inline std::vector<uint32_t> snapshot(const SDL_Surface* s) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x) pixels.push_back(pixelAt(s, x, y));
    return pixels;
}

// Fills a surface with a pattern in which neighbouring pixels differ.
inline void paintPattern(SDL_Surface* s) {
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x) {
            SDL_Rect r{static_cast<Sint16>(x), static_cast<Sint16>(y), 1, 1};
            SDL_FillRect(s, &r,
                         SDL_MapRGB(s->format, static_cast<Uint8>(x * 7), static_cast<Uint8>(y * 5),
                                    static_cast<Uint8>((x + y) * 3)));
        }
}

// Whether anything in the box (inclusive) differs from `pixel`.
inline bool anyOtherThan(const SDL_Surface* s, const PixelRect& box, uint32_t pixel) {
    for (int y = std::max(box.top, 0); y <= std::min(box.bottom, s->h - 1); ++y)
        for (int x = std::max(box.left, 0); x <= std::min(box.right, s->w - 1); ++x)
            if (pixelAt(s, x, y) != pixel) return true;
    return false;
}

} // namespace tevo::test
