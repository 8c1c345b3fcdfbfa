#include "ui/text_style.hpp"

#include "platform/regular_file.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace tevo {

namespace {

void ensureTtf() {
    static const bool ready = [] {
        if (!TTF_WasInit() && TTF_Init() != 0) return false;
        std::atexit(TTF_Quit);
        return true;
    }();
    (void)ready;
}

uint32_t packColour(const SDL_Color& c) {
    return static_cast<uint32_t>(c.r) | static_cast<uint32_t>(c.g) << 8 |
           static_cast<uint32_t>(c.b) << 16;
}

} // namespace

TextStyle::TextStyle() {
    ensureTtf();
}

TextStyle::~TextStyle() {
    closeFont();
}

void TextStyle::closeFont() {
    // Fonts closed after SDL_ttf has shut down would touch freed state.
    if (font_ && TTF_WasInit()) TTF_CloseFont(font_);
    font_ = nullptr;
}

bool TextStyle::openFont(SDL_Surface* target, const std::string& path, int32_t size) {
    fontPath_ = path;
    target_ = target;
    if (target) {
        format_ = *target->format;
        // The copy keeps its own palette, so it outlives the target's.
        if (target->format->palette) {
            paletteColours_.assign(target->format->palette->colors,
                                   target->format->palette->colors +
                                       target->format->palette->ncolors);
            palette_.ncolors = target->format->palette->ncolors;
            palette_.colors = paletteColours_.data();
            format_.palette = &palette_;
        } else {
            format_.palette = nullptr;
        }
    }
    size_ = size;
    closeFont();
    renderedTexts_.clear();
    if (size > 0 && TTF_WasInit()) font_ = openFontFile(path, size);
    return font_ != nullptr;
}

void TextStyle::setColour(uint8_t r, uint8_t g, uint8_t b) {
    colour_ = SDL_Color{r, g, b, 0};
}

SDL_Surface* TextStyle::rendered(std::u16string_view text) {
    const uint32_t colour = packColour(colour_);
    ++drawCount_;
    for (RenderedText& entry : renderedTexts_) {
        if (entry.colour == colour && entry.blended == blended_ && entry.text == text) {
            entry.lastUse = drawCount_;
            return entry.surface.get();
        }
    }
    const std::u16string terminated(text);
    const auto* units = reinterpret_cast<const Uint16*>(terminated.c_str());
    OwnedSurface surface(blended_ ? TTF_RenderUNICODE_Blended(font_, units, colour_)
                                  : TTF_RenderUNICODE_Solid(font_, units, colour_));
    if (!surface) return nullptr;
    if (renderedTexts_.size() >= kRenderedTexts) {
        auto oldest = std::min_element(
            renderedTexts_.begin(), renderedTexts_.end(),
            [](const RenderedText& a, const RenderedText& b) { return a.lastUse < b.lastUse; });
        renderedTexts_.erase(oldest);
    }
    renderedTexts_.push_back(
        RenderedText{terminated, colour, blended_, std::move(surface), drawCount_});
    return renderedTexts_.back().surface.get();
}

void TextStyle::drawText(std::u16string_view text, int32_t x, int32_t y) {
    if (!target_ || !font_ || text.empty()) return;
    SDL_Surface* surface = rendered(text);
    if (!surface) return;
    const int32_t w = surface->w;
    const int32_t h = surface->h;
    // Right alignment wins over centring when both bits are set.
    if (alignment_ & kAlignRight)
        x -= w;
    else if (alignment_ & kAlignCentre)
        x -= w / 2;
    if (alignment_ & kAlignMiddle) y -= h / 2;
    // SDL places blits with 16-bit coordinates; farther away is off screen.
    if (x < INT16_MIN || x > INT16_MAX || y < INT16_MIN || y > INT16_MAX) return;
    lastBox_ = TextBox{static_cast<int16_t>(x), static_cast<int16_t>(y), static_cast<int16_t>(w),
                       static_cast<int16_t>(h)};
    SDL_Rect at{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    SDL_BlitSurface(surface, nullptr, target_, &at);
}

} // namespace tevo
