#include "ui/sprite.hpp"

#include "ui/picture.hpp"

namespace tevo {

void Sprite::fromSurface(SDL_Surface* loaded, int32_t frameW, int32_t frameH) {
    image = convertForDisplay(loaded);
    sourceX = 0;
    sourceY = 0;
    if (!image) {
        frameWidth = frameHeight = 0;
        return;
    }
    setMagentaKey(image.get());
    if (frameW > 0 && frameH > 0) {
        frameWidth = frameW;
        frameHeight = frameH;
    } else {
        frameWidth = image->w;
        frameHeight = image->h;
    }
}

void Sprite::load(SDL_Surface* targetSurface, const std::string& path, int32_t frameW,
                  int32_t frameH) {
    target = targetSurface;
    OwnedSurface read = loadImage(path);
    fromSurface(read.get(), frameW, frameH);
}

bool Sprite::selectFrame(int32_t n) {
    if (!image || frameWidth <= 0) return false;
    const int32_t perRow = image->w / frameWidth;
    // A frame wider than the image leaves no whole frame to count by.
    if (perRow <= 0 || n < 0) return false;
    sourceX = frameWidth * (n % perRow);
    sourceY = (n / perRow) * frameHeight;
    return true;
}

void Sprite::draw() {
    if (!image || !target) return;
    if (x < INT16_MIN || x > INT16_MAX || y < INT16_MIN || y > INT16_MAX) return;
    sourceBox = SDL_Rect{static_cast<Sint16>(sourceX), static_cast<Sint16>(sourceY),
                         static_cast<Uint16>(frameWidth), static_cast<Uint16>(frameHeight)};
    destinationBox = SDL_Rect{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    SDL_BlitSurface(image.get(), &sourceBox, target, &destinationBox);
}

} // namespace tevo
