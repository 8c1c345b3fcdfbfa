// A line of text at a fixed point: its own text, or a status text that the
// screens rewrite while the label shows it.
#pragma once

#include "ui/control.hpp"

#include <memory>
#include <string>
#include <string_view>

namespace tevo {

class TextStyle;

class cLabel : public cControl {
public:
    // Longest own text in UTF-16 units (the buffer of 50 holds a terminator).
    static constexpr std::size_t kTextLimit = 49;

    // The text point is (left, top); no font, no text.
    cLabel(int32_t left, int32_t top, int32_t right, int32_t bottom, SDL_Surface* target);
    ~cLabel() override;

    // Copies the text (cut to kTextLimit units) into the label's own buffer.
    void setText(std::u16string_view text);
    // Shows `text`, owned elsewhere and outliving the label, as it changes.
    void setSharedText(const std::u16string* text);
    void setFont(TextStyle* font) {
        font_ = font;
        ownedFont_.reset();
    }
    void setOwnedFont(std::unique_ptr<TextStyle> font);
    void setTextPoint(int32_t x, int32_t y) {
        textX_ = x;
        textY_ = y;
    }

    // Draws the text at the text point when there are a font and a text.
    void draw() override;

    bool sharedText() const { return shared_ != nullptr; }
    // The text shown, or null when there is none.
    const std::u16string* text() const { return shared_ ? shared_ : (hasOwn_ ? &own_ : nullptr); }
    TextStyle* font() const { return font_; }
    int32_t textX() const { return textX_; }
    int32_t textY() const { return textY_; }

private:
    TextStyle* font_ = nullptr;
    std::unique_ptr<TextStyle> ownedFont_;
    const std::u16string* shared_ = nullptr;
    std::u16string own_;
    bool hasOwn_ = false;
    int32_t textX_;
    int32_t textY_;
};

} // namespace tevo
