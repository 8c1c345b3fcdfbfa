// A private Xvfb server and the X11 queries end-to-end tests need.
#pragma once

#include "support/process.hpp"

#include <memory>
#include <string>

namespace tevo::test {

// An X11 window id; Xlib itself stays out of test sources (its macros clash).
using Window = unsigned long;

class XServer {
public:
    XServer(); // starts Xvfb on a free display number, 1024x768x24
    ~XServer();

    bool ok() const { return display_ != nullptr; }
    // "DISPLAY=:N", for a child's environment.
    std::string environment() const { return "DISPLAY=" + name_; }
    // Waits until the server has handled every request sent so far.
    void sync() const;

    // The top-level window named exactly `caption` (0 when none), waiting up
    // to `timeoutMs` for it to appear.
    Window findWindow(const std::string& caption, int timeoutMs = 0) const;
    bool windowSize(Window w, int& width, int& height) const;
    // Asks the window to close the way a window manager does (WM_DELETE_WINDOW).
    void requestClose(Window w) const;
    Window focusedWindow() const;
    // A plain window of our own, mapped and focused.
    Window makeOtherWindow() const;
    // True when `w` is above every other mapped child of the root.
    bool isTopmost(Window w) const;
    // Saves the root window as a PNG through ImageMagick's import.
    bool screenshot(const std::string& pngPath) const;

private:
    std::string name_;
    std::unique_ptr<ChildProcess> server_;
    void* display_ = nullptr; // Display*
};

} // namespace tevo::test
