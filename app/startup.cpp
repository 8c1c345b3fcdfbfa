// Start-up: one copy only, SDL, the window at the layout's size, settings.
#include "app/startup.hpp"

#include "app/follower.hpp"
#include "app/receiver.hpp"
#include "app/route_state.hpp"
#include "app/screen_steps.hpp"
#include "app/view_steps.hpp"
#include "platform/display.hpp"
#include "platform/file_output.hpp"
#include "platform/message_box.hpp"
#include "platform/paths.hpp"
#include "platform/quit_request.hpp"
#include "platform/text.hpp"

#include <cstdio>
#include <cstdlib>

namespace tevo {

namespace {

constexpr int kKeyRepeatDelayMs = 500;
constexpr int kKeyRepeatIntervalMs = 30;
// The largest window side we open. Larger sizes exist on no display, and
// SDL 1.2 keeps a surface's row length in 16 bits, which a side of 16384
// pixels at 32 bits per pixel already overflows.
constexpr int32_t kMaxWindowSide = 8192;
// Colour depths SDL can set a video mode in.
constexpr int32_t kDepths[] = {8, 15, 16, 24, 32};

bool sizeFits(int32_t width, int32_t height) {
    return width > 0 && height > 0 && width <= kMaxWindowSide && height <= kMaxWindowSide;
}

bool knownDepth(int32_t bpp) {
    for (int32_t depth : kDepths)
        if (bpp == depth) return true;
    return false;
}

// A pointer position of (0, 0) means the middle of the window.
void centreIfUnset(std::array<int32_t, 2>& point, const AppState& app) {
    if (point[0] == 0 && point[1] == 0) point = {app.screenWidth / 2, app.screenHeight / 2};
}

} // namespace

std::u16string formatCaption() {
    return formatWide(u"Tevo v.%d.%d.%d %s", AppState::kVersionMajor, AppState::kVersionMinor,
                      AppState::kVersionBuild, AppState::kVersionTag);
}

bool anotherCopyRuns(const std::u16string& caption) {
    return raiseWindowNamed(toNarrowUnlimited(caption));
}

bool initSdl() {
    chooseVideoDriver();
    // Timer and video only: the program plays no sound, and opening the
    // audio device costs time and fills the console with the sound system's
    // complaints on machines without one.
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0) {
        std::printf("Unable to init SDL: %s\n", SDL_GetError());
        return false;
    }
    // A navigator drawn as coloured characters in the terminal is no use.
    const std::string textMode = unwantedTextModeDriver();
    if (!textMode.empty()) {
        std::printf("Unable to init SDL: no window can be opened (text-mode video driver %s "
                    "refused)\n",
                    textMode.c_str());
        SDL_Quit();
        return false;
    }
    static bool registered = false;
    if (!registered) registered = std::atexit(SDL_Quit) == 0;
    return true;
}

void selectLayout(AppState& app) {
    app.screenLayout.parse(app.pathOf("screen.xml"));
    app.layout = app.screenLayout.lookup(AppState::kLayoutName);
    const ResolutionEntry& e = app.layout;
    if (e.width != 0 && e.height != 0) {
        if (sizeFits(e.width, e.height)) {
            app.screenWidth = e.width;
            app.screenHeight = e.height;
        } else {
            std::printf("Window size %dx%d refused: each side must be 1 to %d pixels\n", e.width,
                        e.height, kMaxWindowSide);
        }
    }
    if (e.bpp != 0) {
        if (knownDepth(e.bpp)) {
            app.depth = e.bpp;
        } else {
            std::printf("Colour depth %d refused: it must be 8, 15, 16, 24 or 32\n", e.bpp);
        }
    }
    app.messageOrigin = {e.textcoord[0], e.textcoord[1]};
    centreIfUnset(app.layout.pointer2Dcoord, app);
    centreIfUnset(app.layout.pointer3Dcoord, app);
}

void reportLayout(const AppState& app) {
    printWide(stdout, formatWide(u"Selected menu: %s\n", app.layout.menu));
    std::printf("fullScreen: %s\n", app.layout.fullScreen ? "True" : "False");
    std::printf("Resolution: %dx%d\n", app.screenWidth, app.screenHeight);
}

bool openWindow(AppState& app) {
    const int depth = videoModeDepth(app.depth);
    if (depth != app.depth) {
        std::printf("Colour depth %d is opened as %d: the video driver cannot draw %d\n", app.depth,
                    depth, app.depth);
        app.depth = depth;
    }
    // The layout's full-screen flag is only reported, never applied.
    app.screen = SDL_SetVideoMode(app.screenWidth, app.screenHeight, app.depth, SDL_DOUBLEBUF);
    SDL_EnableUNICODE(1);
    if (!app.screen) {
        std::printf("Unable to set %dx%d video: %s\n", app.screenWidth, app.screenHeight,
                    SDL_GetError());
        return false;
    }
    SDL_WM_SetCaption(toNarrowUnlimited(app.caption).c_str(), nullptr);
    SDL_EnableKeyRepeat(kKeyRepeatDelayMs, kKeyRepeatIntervalMs);
    return true;
}

void loadSettings(AppState& app) {
    const std::string path = app.pathOf("config.xml");
    app.settings.parse(path);
    if (!app.settings.broken()) return;
    // The exit rewrites the file from what could be read: keep the person's
    // file beside it first, or leave it alone when that is not possible.
    const std::string kept = path + kBrokenSettingsSuffix;
    if (!copyToReplacement(path, kept, nullptr)) {
        app.saveSettings = false;
        std::printf("%s is broken and could not be kept as %s; it will not be rewritten\n",
                    path.c_str(), kept.c_str());
    } else {
        std::printf("%s is broken; kept as %s\n", path.c_str(), kept.c_str());
    }
}

std::optional<int> startUp(AppState& app, const char* argv0) {
    // One copy only: a running copy is brought forward instead.
    app.caption = formatCaption();
    if (anotherCopyRuns(app.caption)) return 1;
    // From here on SIGTERM, SIGINT and a window close end the start-up cleanly.
    watchForQuit();
    // Every file is looked up in the program's folder.
    app.programFolder = programFolderFrom(argv0);
    setMessageBoxFont(app.pathOf("DejaVuSans.ttf"));
    if (!initSdl()) return 1;
    // The desktop's depth, unless the layout names one.
    app.depth = desktopDepth();
    selectLayout(app);
    reportLayout(app);
    if (!openWindow(app)) return 1;
    loadSplash(app);
    // The splash picture and status font are drawn by the status texts; the
    // demonstration track decides demonstration mode.
    readDemoTrack(app);
    loadSettings(app);
    showStatusMessage(app, u"Loading Plugin...");
    loadReceiverPlugins(app);
    // The map view with its map and tracks.
    showStatusMessage(app, u"Loading map...");
    createMapView(app);
    setUpFollowing(app);
    openRouting(app, app.pathOf("map.tvm"));
    // The receiver is skipped while the demonstration track replays.
    if (!app.demoMode) {
        showStatusMessage(app, receiverMessage(app));
        startReceiver(app);
    }
    // Waiting for the receiver may have taken a while: an end asked for
    // meanwhile is a normal end, settings written.
    if (quitRequested()) return shutDown(app);
    // Menus, pictures and the saved view; then the first picture.
    showStatusMessage(app, u"Loading menu...");
    buildScreens(app);
    setUpMapView(app);
    app.storedViewApplied = true;
    applyStoredFreeView(app);
    presentScreen(app);
    app.loop = LoopState{};
    app.loop.returnButtonExists = returnButtonExists(app);
    app.follow = FollowState{};
    app.follow.lastRecordTick = SDL_GetTicks();
    return std::nullopt;
}

} // namespace tevo
