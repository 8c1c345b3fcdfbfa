// An image cut into equal frames, magenta transparent; one frame is drawn.
#pragma once

#include "ui/surface.hpp"

#include <SDL.h>

#include <cstdint>
#include <string>

namespace tevo {

struct Sprite {
    int32_t x = 0; // where the frame is drawn
    int32_t y = 0;
    int32_t unused1 = 0;
    int32_t unused2 = 0;
    int32_t frameWidth = 0;
    int32_t frameHeight = 0;
    int32_t sourceX = 0; // the selected frame's corner in the image
    int32_t sourceY = 0;
    SDL_Surface* target = nullptr;
    OwnedSurface image; // display format, magenta colour key; empty when absent
    SDL_Rect destinationBox{0, 0, 0, 0};
    SDL_Rect sourceBox{0, 0, 0, 0};

    // Converts `loaded` (which stays the caller's) and keys magenta. Frames
    // of frameW x frameH when both are non-zero, else one frame of the whole
    // image; frame 0 selected. A null image leaves the sprite empty.
    void fromSurface(SDL_Surface* loaded, int32_t frameW, int32_t frameH);
    // Reads `path` and takes it as above; empty when it cannot be read.
    void load(SDL_Surface* targetSurface, const std::string& path, int32_t frameW, int32_t frameH);
    // Selects frame n, counted row by row; false when there is no image or
    // no frame fits into a row.
    bool selectFrame(int32_t n);
    // Blits the selected frame with its corner at (x, y); nothing when empty.
    void draw();
    bool loaded() const { return image != nullptr; }
};

} // namespace tevo
