// Modal message box for failures the user must see.
#pragma once

#include <string>
#include <string_view>

namespace tevo {

// Prints "caption: text" on standard error. When a window is open and the SDL
// video driver is not "dummy", also draws a box in the window and waits for a
// click, Enter or Escape.
void messageBox(std::u16string_view text, std::u16string_view caption);

// Tests and command-line tools turn the drawn box off (standard error only).
void setMessageBoxesDrawn(bool drawn);

// The TrueType font the drawn box writes with; without one only the frame and
// the OK button are drawn (the text is still on standard error).
void setMessageBoxFont(const std::string& path);

} // namespace tevo
