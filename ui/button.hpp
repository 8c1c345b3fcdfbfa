// An image button with an optional centred icon and caption.
#pragma once

#include "ui/control.hpp"
#include "ui/sprite.hpp"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tevo {

class TextStyle;

class cButton : public cControl {
public:
    // Longest caption in UTF-16 units (the buffer of 50 holds a terminator).
    static constexpr std::size_t kCaptionLimit = 49;

    // Loads the button image (magenta transparent) and places it at (left,
    // top). With right and bottom both 0 the rectangle is the image's size.
    // A missing image leaves a button that draws nothing.
    cButton(int32_t left, int32_t top, int32_t right, int32_t bottom, SDL_Surface* target,
            const std::string& imagePath);
    ~cButton() override;

    // Centres an icon in the button and moves the caption below it. Only for
    // a button with an image; a missing icon leaves the button without one.
    void setIcon(const std::string& iconPath);
    // Copies the caption, cut to kCaptionLimit units. Only with an image.
    void setCaption(std::u16string_view caption);
    // The caption's style, shared (the screens own it) or owned.
    void setFont(TextStyle* font) {
        font_ = font;
        ownedFont_.reset();
    }
    void setOwnedFont(std::unique_ptr<TextStyle> font);

    // Image, icon, then caption; nothing when inactive or without image.
    void draw() override;

    bool hasImage() const { return image_ != nullptr; }
    const Sprite* image() const { return image_.get(); }
    const Sprite* icon() const { return icon_.get(); }
    const ControlRect& frame() const { return frame_; }
    TextStyle* font() const { return font_; }
    const std::optional<std::u16string>& caption() const { return caption_; }
    int32_t captionX() const { return captionX_; }
    int32_t captionY() const { return captionY_; }

private:
    static std::unique_ptr<Sprite> loadSprite(SDL_Surface* target, const std::string& path);

    std::unique_ptr<Sprite> image_;
    std::unique_ptr<Sprite> icon_;
    ControlRect frame_;
    TextStyle* font_ = nullptr;
    std::unique_ptr<TextStyle> ownedFont_;
    std::optional<std::u16string> caption_;
    int32_t captionX_ = 0;
    int32_t captionY_ = 0;
};

} // namespace tevo
