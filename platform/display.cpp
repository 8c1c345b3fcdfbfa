#include "platform/display.hpp"

#include <SDL.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace tevo {

namespace {

constexpr const char* kDriverVariable = "SDL_VIDEODRIVER";
constexpr const char* kTextModeDrivers[] = {"caca", "aalib"};

bool isSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

} // namespace

void chooseVideoDriver() {
    if (isSet(kDriverVariable)) return;
    // Without X the framebuffer console is the one display left; SDL's own
    // search would go on to libcaca, which draws into the terminal.
    setenv(kDriverVariable, isSet("DISPLAY") ? "x11" : "fbcon", 1);
}

std::string unwantedTextModeDriver() {
    char name[32] = {};
    if (!SDL_VideoDriverName(name, sizeof name)) return {};
    const char* asked = std::getenv(kDriverVariable);
    for (const char* driver : kTextModeDrivers) {
        if (std::strcmp(name, driver) == 0 && (asked == nullptr || std::strcmp(asked, driver) != 0))
            return name;
    }
    return {};
}

int desktopDepth() {
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    return info && info->vfmt ? info->vfmt->BitsPerPixel : 0;
}

int videoModeDepth(int bpp) {
    char name[32] = {};
    if (bpp == 15 && SDL_VideoDriverName(name, sizeof name) != nullptr &&
        std::strcmp(name, "dummy") == 0)
        return 16;
    return bpp;
}

namespace {

// Window managers put the client window inside frames: search a few levels.
constexpr int kSearchDepth = 4;

bool hasName(Display* display, Window window, const std::string& caption) {
    char* name = nullptr;
    bool match = false;
    if (XFetchName(display, window, &name) && name) {
        match = caption == name;
        XFree(name);
    }
    if (match) return true;
    // _NET_WM_NAME holds the UTF-8 caption that SDL also sets.
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", True);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", True);
    if (netName == None || utf8 == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data) {
        match = type == utf8 && format == 8 &&
                caption == std::string(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    return match;
}

Window findNamed(Display* display, Window parent, const std::string& caption, int depth) {
    Window root = 0, parentOut = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &parentOut, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i)
        if (hasName(display, children[i], caption)) found = children[i];
    for (unsigned int i = 0; i < count && !found && depth > 1; ++i)
        found = findNamed(display, children[i], caption, depth - 1);
    if (children) XFree(children);
    return found;
}

void activate(Display* display, Window window) {
    XMapRaised(display, window);
    // Ask the window manager to bring it forward; without one, focus directly.
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2; // a request from a pager-like source
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable)
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XFlush(display);
}

} // namespace

bool raiseWindowNamed(const std::string& caption) {
    std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
    if (!display) return false;
    const Window window =
        findNamed(display.get(), DefaultRootWindow(display.get()), caption, kSearchDepth);
    if (!window) return false;
    activate(display.get(), window);
    XSync(display.get(), False);
    return true;
}

} // namespace tevo
