// A whole image drawn at a position, converted to the display format once.
#pragma once

#include "ui/surface.hpp"

#include <SDL.h>

#include <cstdint>
#include <string>

namespace tevo {

struct Picture {
    int32_t x = 0; // top-left corner on the target
    int32_t y = 0;
    int32_t unused1 = 0;
    int32_t unused2 = 0;
    SDL_Surface* target = nullptr;
    OwnedSurface image; // empty when not loaded

    // Drops the current image, takes the target and reads `path`; the
    // picture stays empty when the file cannot be read.
    void load(SDL_Surface* target, const std::string& path);
    // Makes magenta (255, 0, 255) transparent, as for pointer and compass.
    void keyMagenta();
    // Blits the whole image at (x, y); false when empty or without target.
    bool draw() const;
    bool loaded() const { return image != nullptr; }
};

// Magenta, the transparent colour of icons, pointer and compass images.
void setMagentaKey(SDL_Surface* image);

} // namespace tevo
