// What the desktop offers: colour depth and the window of another copy.
#pragma once

#include <string>

namespace tevo {

// Chooses SDL's video driver before SDL starts: x11 when DISPLAY is set,
// otherwise the framebuffer console (fbcon), unless SDL_VIDEODRIVER names a
// driver (an empty SDL_VIDEODRIVER counts as unset). SDL 1.2 would otherwise
// fall back to drawing into the terminal when the X server cannot be reached
// for a moment.
void chooseVideoDriver();

// The text-mode driver (libcaca, aalib) SDL's video runs on when nobody asked
// for it by SDL_VIDEODRIVER, or an empty text when it runs on a real one.
std::string unwantedTextModeDriver();

// The desktop's colour depth in bits per pixel, asked of SDL before the first
// video mode is set. SDL must be initialised.
int desktopDepth();

// The depth to ask SDL_SetVideoMode for when `bpp` is wanted. SDL 1.2's dummy
// video driver sizes its frame buffer at bpp / 8 bytes a pixel: 15 bits get
// one byte where a pixel takes two, and drawing runs past the buffer. That
// driver is asked for 16 bits instead, which take the same two bytes.
int videoModeDepth(int bpp);

// Looks for a top-level X11 window named exactly `caption`. When one exists it
// is mapped, raised and focused, and the answer is true. Without an X display
// the answer is false.
bool raiseWindowNamed(const std::string& caption);

} // namespace tevo
