#include "ui/picture.hpp"

namespace tevo {

void setMagentaKey(SDL_Surface* image) {
    if (!image) return;
    SDL_SetColorKey(image, SDL_SRCCOLORKEY, SDL_MapRGB(image->format, 255, 0, 255));
}

void Picture::load(SDL_Surface* targetSurface, const std::string& path) {
    image.reset();
    target = targetSurface;
    OwnedSurface read = loadImage(path);
    image = convertForDisplay(read.get());
}

void Picture::keyMagenta() {
    setMagentaKey(image.get());
}

bool Picture::draw() const {
    if (!image || !target) return false;
    if (x < INT16_MIN || x > INT16_MAX || y < INT16_MIN || y > INT16_MAX) return true;
    SDL_Rect at{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    SDL_BlitSurface(image.get(), nullptr, target, &at);
    return true;
}

} // namespace tevo
