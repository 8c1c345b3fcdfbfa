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

// Looks for a top-level X11 window named exactly `caption`. When one exists it
// is mapped, raised and focused, and the answer is true. Without an X display
// the answer is false.
bool raiseWindowNamed(const std::string& caption);

} // namespace tevo
