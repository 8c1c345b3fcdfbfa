// What the desktop offers: colour depth and the window of another copy.
#pragma once

#include <string>

namespace tevo {

// The desktop's colour depth in bits per pixel, asked of SDL before the first
// video mode is set. SDL must be initialised.
int desktopDepth();

// Looks for a top-level X11 window named exactly `caption`. When one exists it
// is mapped, raised and focused, and the answer is true. Without an X display
// the answer is false.
bool raiseWindowNamed(const std::string& caption);

} // namespace tevo
