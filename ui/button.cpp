#include "ui/button.hpp"

#include "platform/text.hpp"
#include "ui/text_style.hpp"

namespace tevo {

std::unique_ptr<Sprite> cButton::loadSprite(SDL_Surface* target, const std::string& path) {
    auto sprite = std::make_unique<Sprite>();
    sprite->load(target, path, 0, 0);
    if (!sprite->loaded()) return nullptr;
    sprite->selectFrame(0);
    return sprite;
}

cButton::cButton(int32_t left, int32_t top, int32_t right, int32_t bottom, SDL_Surface* target,
                 const std::string& imagePath)
    : cControl(left, top, right, bottom, target) {
    image_ = loadSprite(target, imagePath);
    if (!image_) return;
    image_->x = left;
    image_->y = top;
    const int32_t w = image_->image->w;
    const int32_t h = image_->image->h;
    // The menu files give only a position; the image gives the size.
    if (right == 0 && bottom == 0) rect_ = ControlRect{left, top, left + w, top + h};
    captionX_ = left + w / 2;
    captionY_ = top + h / 2;
    frame_ = rect_;
}

cButton::~cButton() = default;

void cButton::setOwnedFont(std::unique_ptr<TextStyle> font) {
    ownedFont_ = std::move(font);
    font_ = ownedFont_.get();
}

void cButton::setIcon(const std::string& iconPath) {
    if (!image_) return;
    icon_ = loadSprite(target(), iconPath);
    if (!icon_) return;
    const int32_t w = icon_->image->w;
    const int32_t h = icon_->image->h;
    icon_->x = (frame_.left + frame_.right - w) / 2;
    icon_->y = (frame_.top + frame_.bottom - h) / 2;
    // Halfway between the icon's bottom edge and the frame's bottom.
    captionY_ = (h + frame_.top + frame_.bottom) / 4 + frame_.bottom / 2;
}

void cButton::setCaption(std::u16string_view caption) {
    if (!image_) return;
    caption_ = std::u16string(cutWide(caption, kCaptionLimit));
}

void cButton::draw() {
    if (!active() || !image_) return;
    image_->draw();
    if (icon_) icon_->draw();
    if (font_ && caption_) font_->drawText(*caption_, captionX_, captionY_);
}

} // namespace tevo
