#include "ui/label.hpp"

#include "platform/text.hpp"
#include "ui/text_style.hpp"

namespace tevo {

cLabel::cLabel(int32_t left, int32_t top, int32_t right, int32_t bottom, SDL_Surface* target)
    : cControl(left, top, right, bottom, target), textX_(left), textY_(top) {}

cLabel::~cLabel() = default;

void cLabel::setText(std::u16string_view text) {
    own_ = std::u16string(cutWide(text, kTextLimit));
    hasOwn_ = true;
    shared_ = nullptr;
}

void cLabel::setSharedText(const std::u16string* text) {
    shared_ = text;
}

void cLabel::setOwnedFont(std::unique_ptr<TextStyle> font) {
    ownedFont_ = std::move(font);
    font_ = ownedFont_.get();
}

void cLabel::draw() {
    const std::u16string* shown = text();
    if (font_ && shown) font_->drawText(*shown, textX_, textY_);
}

} // namespace tevo
