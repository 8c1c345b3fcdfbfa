#include <X11/Xlib.h>

#include "support/xserver.hpp"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <csignal>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace tevo::test {

namespace {

Display* asDisplay(void* d) {
    return static_cast<Display*>(d);
}

constexpr int kFirstDisplay = 71;
constexpr int kDisplaysTried = 40;

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool lockFileExists(int number) {
    return ::access(("/tmp/.X" + std::to_string(number) + "-lock").c_str(), F_OK) == 0;
}

Window searchNamed(Display* d, Window parent, const std::string& caption, int depth) {
    Window root = 0, up = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, parent, &root, &up, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(d, children[i], &name) && name) {
            if (caption == name) found = children[i];
            XFree(name);
        }
    }
    for (unsigned int i = 0; i < count && !found && depth > 1; ++i)
        found = searchNamed(d, children[i], caption, depth - 1);
    if (children) XFree(children);
    return found;
}

} // namespace

XServer::XServer() {
    for (int n = kFirstDisplay + (::getpid() % 7); n < kFirstDisplay + kDisplaysTried; ++n) {
        if (lockFileExists(n)) continue;
        name_ = ":" + std::to_string(n);
        server_ = std::make_unique<ChildProcess>(std::vector<std::string>{
            "/usr/bin/Xvfb", name_, "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        for (int tries = 0; tries < 100 && !display_; ++tries) {
            sleepMs(50);
            if (!server_->running()) break;
            display_ = XOpenDisplay(name_.c_str());
        }
        // Two tests that start together may pick the same free number: the
        // server that loses the race for the lock exits, and the display
        // answered belongs to the other test. Only our own running server
        // counts.
        if (display_) sleepMs(300);
        if (display_ && server_->running()) return;
        if (display_) XCloseDisplay(asDisplay(display_));
        display_ = nullptr;
        server_.reset();
    }
}

XServer::~XServer() {
    if (display_) XCloseDisplay(asDisplay(display_));
    if (server_) {
        server_->signal(SIGTERM);
        server_->wait(3000);
    }
}

Window XServer::findWindow(const std::string& caption, int timeoutMs) const {
    for (int waited = 0;; waited += 50) {
        const Window w =
            searchNamed(asDisplay(display_), DefaultRootWindow(asDisplay(display_)), caption, 4);
        if (w || waited >= timeoutMs) return w;
        sleepMs(50);
    }
}

bool XServer::windowSize(Window w, int& width, int& height) const {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(asDisplay(display_), w, &a)) return false;
    width = a.width;
    height = a.height;
    return true;
}

void XServer::requestClose(Window w) const {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(asDisplay(display_), "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] =
        static_cast<long>(XInternAtom(asDisplay(display_), "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(asDisplay(display_), w, False, NoEventMask, &e);
    XFlush(asDisplay(display_));
}

Window XServer::focusedWindow() const {
    Window w = 0;
    int revert = 0;
    XGetInputFocus(asDisplay(display_), &w, &revert);
    return w;
}

Window XServer::makeOtherWindow() const {
    const Window root = DefaultRootWindow(asDisplay(display_));
    const Window w = XCreateSimpleWindow(asDisplay(display_), root, 0, 0, 600, 700, 0, 0, 0);
    XStoreName(asDisplay(display_), w, "other");
    XMapRaised(asDisplay(display_), w);
    XSync(asDisplay(display_), False);
    sleepMs(100);
    XSetInputFocus(asDisplay(display_), w, RevertToParent, CurrentTime);
    XSync(asDisplay(display_), False);
    return w;
}

bool XServer::isTopmost(Window w) const {
    Window root = 0, up = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(asDisplay(display_), DefaultRootWindow(asDisplay(display_)), &root, &up,
                    &children, &count))
        return false;
    // Children come bottom to top: the last viewable one is on top.
    Window top = 0;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes a{};
        if (XGetWindowAttributes(asDisplay(display_), children[i], &a) && a.map_state == IsViewable)
            top = children[i];
    }
    if (children) XFree(children);
    return top == w;
}

bool XServer::screenshot(const std::string& pngPath) const {
    ChildProcess import({"/usr/bin/import", "-display", name_, "-window", "root", pngPath});
    return import.wait(20000) == 0;
}

} // namespace tevo::test

namespace tevo::test {
void XServer::sync() const {
    XSync(asDisplay(display_), False);
}
} // namespace tevo::test
