// The glyph strip of a TextStyle: every character rendered once with a halo,
// side by side on one surface, and labels copied together from it.
#include "ui/text_style.hpp"

#include "platform/regular_file.hpp"

#include <algorithm>
#include <cstring>

namespace tevo {

namespace {

// The halo is the character in a bold font this much larger, in near-white so
// that it differs from the white colour key.
constexpr int32_t kHaloGrowth = 4;
constexpr SDL_Color kHaloColour{250, 250, 250, 0};
// Label surfaces: a transparent left margin, and widths rounded down to a
// multiple of 4 plus a transparent right band.
constexpr int32_t kLabelMargin = 4;
constexpr int32_t kLabelBand = 8;

uint32_t white(const SDL_PixelFormat& format) {
    return SDL_MapRGB(const_cast<SDL_PixelFormat*>(&format), 255, 255, 255);
}

void fillColumns(SDL_Surface* s, int32_t x, int32_t w, uint32_t pixel) {
    SDL_Rect r{static_cast<Sint16>(x), 0, static_cast<Uint16>(w), static_cast<Uint16>(s->h)};
    SDL_FillRect(s, &r, pixel);
}

// Holds a surface's pixels for direct access.
class PixelLock {
public:
    explicit PixelLock(SDL_Surface* s) : surface_(s), locked_(SDL_LockSurface(s) == 0) {}
    ~PixelLock() {
        if (locked_) SDL_UnlockSurface(surface_);
    }
    PixelLock(const PixelLock&) = delete;
    PixelLock& operator=(const PixelLock&) = delete;
    bool locked() const { return locked_; }

private:
    SDL_Surface* surface_;
    bool locked_;
};

} // namespace

int32_t labelSurfaceWidth(int32_t glyphWidthSum) {
    return (glyphWidthSum & ~3) + kLabelMargin + kLabelBand;
}

OwnedSurface TextStyle::outlinedGlyph(TTF_Font* bold, char16_t c) const {
    const Uint16 text[2] = {c, 0};
    OwnedSurface halo(TTF_RenderUNICODE_Blended(bold, text, kHaloColour));
    OwnedSurface glyph(TTF_RenderUNICODE_Blended(font_, text, colour_));
    if (!halo || !glyph) return nullptr;
    OwnedSurface out = createSurfaceLike(format_, glyph->w - 1, halo->h);
    if (!out) return nullptr;
    const uint32_t key = white(*out->format);
    SDL_FillRect(out.get(), nullptr, key);
    SDL_Rect haloAt{-1, 0, 0, 0};
    SDL_BlitSurface(halo.get(), nullptr, out.get(), &haloAt);
    SDL_Rect glyphAt{0, static_cast<Sint16>((halo->h - glyph->h) / 2 + 1), 0, 0};
    SDL_BlitSurface(glyph.get(), nullptr, out.get(), &glyphAt);
    SDL_SetColorKey(out.get(), SDL_SRCCOLORKEY, key);
    return out;
}

void TextStyle::buildGlyphStrip(std::u16string_view characters) {
    if (!target_ || !font_ || characters.empty()) return;
    glyphs_.clear();
    strip_.reset();

    // One bold instance serves every character of the strip.
    TTF_Font* bold = openFontFile(fontPath_, size_ + kHaloGrowth);
    if (!bold) return;
    TTF_SetFontStyle(bold, TTF_STYLE_BOLD);
    std::vector<OwnedSurface> singles;
    int32_t width = 0;
    int32_t height = 0;
    for (char16_t c : characters) {
        OwnedSurface glyph = outlinedGlyph(bold, c);
        if (!glyph) continue;
        glyphs_.push_back(GlyphRecord{glyph->w, glyph->h, width, c});
        width += glyph->w;
        height = std::max(height, glyph->h);
        singles.push_back(std::move(glyph));
    }
    TTF_CloseFont(bold);
    strip_ = createSurfaceLike(format_, width, height);
    if (!strip_) {
        glyphs_.clear();
        return;
    }
    const uint32_t key = white(*strip_->format);
    SDL_FillRect(strip_.get(), nullptr, key);
    for (std::size_t i = 0; i < singles.size(); ++i) {
        SDL_Rect at{static_cast<Sint16>(glyphs_[i].x), 0, 0, 0};
        SDL_BlitSurface(singles[i].get(), nullptr, strip_.get(), &at);
    }
    SDL_SetColorKey(strip_.get(), SDL_SRCCOLORKEY, key);
    // The lookup needs ascending characters even when the caller's were not;
    // the records keep their columns.
    std::stable_sort(
        glyphs_.begin(), glyphs_.end(),
        [](const GlyphRecord& a, const GlyphRecord& b) { return a.character < b.character; });
}

const GlyphRecord* TextStyle::findGlyph(char16_t c) const {
    auto it =
        std::lower_bound(glyphs_.begin(), glyphs_.end(), c,
                         [](const GlyphRecord& g, char16_t value) { return g.character < value; });
    if (it == glyphs_.end() || it->character != c) return nullptr;
    return &*it;
}

void TextStyle::measureWithStrip(std::u16string_view text, int32_t* width, int32_t* height) const {
    if ((!width && !height) || !target_ || text.empty()) return;
    int32_t w = 0;
    int32_t h = 0;
    for (char16_t c : text) {
        if (const GlyphRecord* g = findGlyph(c)) {
            w += g->width;
            h = std::max(h, g->height);
        }
    }
    if (width) *width = w;
    if (height) *height = h;
}

OwnedSurface TextStyle::renderWithStrip(std::u16string_view text) const {
    if (text.empty() || !target_ || !strip_) return nullptr;
    int32_t sum = 0;
    for (char16_t c : text)
        if (const GlyphRecord* g = findGlyph(c)) sum += g->width;
    if (sum == 0) return nullptr;

    const int32_t rounded = sum & ~3;
    OwnedSurface out = createSurfaceLike(*strip_->format, labelSurfaceWidth(sum), strip_->h);
    if (!out) return nullptr;
    const uint32_t key = strip_->format->colorkey;
    SDL_SetColorKey(out.get(), SDL_SRCCOLORKEY, key);
    fillColumns(out.get(), 0, kLabelMargin, key);
    fillColumns(out.get(), rounded + kLabelMargin, kLabelBand, key);

    PixelLock outLock(out.get());
    PixelLock stripLock(strip_.get());
    if (!outLock.locked() || !stripLock.locked()) return nullptr;
    const int bytes = out->format->BytesPerPixel;
    const auto* from = static_cast<const uint8_t*>(strip_->pixels);
    auto* to = static_cast<uint8_t*>(out->pixels);
    int32_t column = kLabelMargin;
    for (char16_t c : text) {
        const GlyphRecord* g = findGlyph(c);
        if (!g) continue;
        const int32_t n = std::min({g->width, strip_->w - g->x, out->w - column});
        if (n > 0) {
            for (int32_t y = 0; y < out->h; ++y)
                std::memcpy(to + y * out->pitch + column * bytes,
                            from + y * strip_->pitch + g->x * bytes,
                            static_cast<std::size_t>(n) * bytes);
        }
        column += g->width;
    }
    return out;
}

} // namespace tevo
