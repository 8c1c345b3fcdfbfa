// A TrueType font with colour, rendering mode and alignment, drawing wide text
// onto a target surface, and the glyph strip from which map labels are built
// without calling the font renderer in every frame.
#pragma once

#include "ui/surface.hpp"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tevo {

// One character of a glyph strip: its columns [x, x + width) of the strip
// surface. Records are kept in ascending character order.
struct GlyphRecord {
    int32_t width = 0;
    int32_t height = 0;
    int32_t x = 0;
    char16_t character = 0;
};

// Where a text was last drawn.
struct TextBox {
    int16_t x = 0;
    int16_t y = 0;
    int16_t width = 0;
    int16_t height = 0;
};

// Width of a label surface for glyphs `glyphWidthSum` pixels wide: the sum
// rounded down to a multiple of 4, plus the 4-column left margin and the
// 8-column right band.
int32_t labelSurfaceWidth(int32_t glyphWidthSum);

class TextStyle {
public:
    // Alignment bits; 0 means (x, y) is the top-left corner.
    static constexpr int32_t kAlignRight = 2;  // x is the right edge (wins over centre)
    static constexpr int32_t kAlignCentre = 4; // x is the horizontal centre
    static constexpr int32_t kAlignMiddle = 8; // y is the vertical centre

    // Initialises SDL_ttf once for the process; it is shut down at exit.
    TextStyle();
    ~TextStyle();
    TextStyle(const TextStyle&) = delete;
    TextStyle& operator=(const TextStyle&) = delete;

    // Takes the target and its pixel format, closes a previous font and opens
    // `path` at `size` points. False (and no font) when the file cannot be
    // opened; drawing then does nothing.
    bool openFont(SDL_Surface* target, const std::string& path, int32_t size);

    // Draws the text at (x, y) as the alignment says and records the box.
    // Nothing without target, font or text. Recently drawn texts are kept
    // rendered, so texts repeated in every frame reach the font renderer once.
    void drawText(std::u16string_view text, int32_t x, int32_t y);

    // Renders every character of `characters` (ascending, no repeats) once,
    // outlined with a light halo, into the strip. Nothing without target,
    // font or characters. A character that cannot be rendered is left out.
    void buildGlyphStrip(std::u16string_view characters);

    // The strip record of `c`, or null when the strip does not hold it.
    const GlyphRecord* findGlyph(char16_t c) const;

    // Width (sum) and height (largest) of the known characters of `text`;
    // characters outside the strip are skipped. Outputs stay untouched
    // without target or text; either may be null.
    void measureWithStrip(std::u16string_view text, int32_t* width, int32_t* height) const;

    // A new surface with the text assembled from the strip: 4 transparent
    // columns, the glyphs, then transparent columns up to a width of
    // (glyph widths rounded down to a multiple of 4) + 12; the strip's colour
    // key. Null without target or text, or when no character is known.
    OwnedSurface renderWithStrip(std::u16string_view text) const;

    void setTarget(SDL_Surface* target) { target_ = target; }
    SDL_Surface* target() const { return target_; }
    TTF_Font* font() const { return font_; }
    int32_t size() const { return size_; }
    const std::string& fontPath() const { return fontPath_; }

    SDL_Color colour() const { return colour_; }
    void setColour(uint8_t r, uint8_t g, uint8_t b);
    SDL_Color secondColour() const { return secondColour_; }
    void setSecondColour(uint8_t r, uint8_t g, uint8_t b) { secondColour_ = SDL_Color{r, g, b, 0}; }
    bool blended() const { return blended_; }
    void setBlended(bool on) { blended_ = on; }
    int32_t alignment() const { return alignment_; }
    void setAlignment(int32_t bits) { alignment_ = bits; }
    const TextBox& lastBox() const { return lastBox_; }

    const std::vector<GlyphRecord>& glyphs() const { return glyphs_; }
    int32_t glyphCount() const { return static_cast<int32_t>(glyphs_.size()); }
    SDL_Surface* strip() const { return strip_.get(); }

private:
    struct RenderedText {
        std::u16string text;
        uint32_t colour = 0;
        bool blended = false;
        OwnedSurface surface;
        uint64_t lastUse = 0;
    };
    // Texts kept rendered by drawText; a panel draws a handful per frame.
    static constexpr std::size_t kRenderedTexts = 24;

    SDL_Surface* rendered(std::u16string_view text);
    OwnedSurface outlinedGlyph(TTF_Font* bold, char16_t c) const;
    void closeFont();

    SDL_Surface* target_ = nullptr;
    std::string fontPath_;
    std::vector<GlyphRecord> glyphs_;
    OwnedSurface strip_;
    TTF_Font* font_ = nullptr;
    int32_t size_ = 0;
    SDL_Color colour_{0, 0, 0, 0};
    SDL_Color secondColour_{255, 255, 255, 0};
    bool blended_ = false;
    int32_t alignment_ = 0;
    TextBox lastBox_;
    SDL_PixelFormat format_{};
    SDL_Palette palette_{};
    std::vector<SDL_Color> paletteColours_;
    std::vector<RenderedText> renderedTexts_;
    uint64_t drawCount_ = 0;
};

} // namespace tevo
