// Start-up: one copy only, SDL, the window at the layout's size, settings.
#include "app/startup.hpp"

#include "app/receiver.hpp"
#include "app/view_steps.hpp"
#include "platform/display.hpp"
#include "platform/message_box.hpp"
#include "platform/paths.hpp"
#include "platform/text.hpp"

#include <cstdio>
#include <cstdlib>

namespace tevo {

namespace {

constexpr int kKeyRepeatDelayMs = 500;
constexpr int kKeyRepeatIntervalMs = 30;

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
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO) < 0) {
        std::printf("Unable to init SDL: %s\n", SDL_GetError());
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
        app.screenWidth = e.width;
        app.screenHeight = e.height;
    }
    if (e.bpp != 0) app.depth = e.bpp;
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
    app.settings.parse(app.pathOf("config.xml"));
}

std::optional<int> startUp(AppState& app, const char* argv0) {
    // 1. The caption; a running copy is brought forward instead.
    app.caption = formatCaption();
    if (anotherCopyRuns(app.caption)) return 1;
    // 2. Every file is looked up in the program's folder.
    app.programFolder = programFolderFrom(argv0);
    setMessageBoxFont(app.pathOf("DejaVuSans.ttf"));
    // 3. SDL.
    if (!initSdl()) return 1;
    // 4. The desktop's depth, unless the layout names one.
    app.depth = desktopDepth();
    // 5.-6. The layout.
    selectLayout(app);
    reportLayout(app);
    // 7.-8. The window.
    if (!openWindow(app)) return 1;
    // 9.-10. Splash picture and status font: drawn by the status texts.
    // 11. The demonstration track decides demonstration mode.
    // 12. Settings.
    loadSettings(app);
    // 13. Receiver plug-ins.
    loadReceiverPlugins(app);
    // 14. The map view with its map and tracks.
    createMapView(app);
    // 15. The receiver, unless the demonstration track replays.
    if (!app.demoMode) startReceiver(app);
    // 16.-21. Menus, pictures and the saved view.
    setUpMapView(app);
    // 22. First picture, then the loop.
    presentScreen(app);
    app.loop = LoopState{};
    app.loop.lastReplayTick = SDL_GetTicks();
    return std::nullopt;
}

} // namespace tevo
