// The screens in the start-up and the main loop: building them, touches,
// the return button and F4.
#include "app/menu_builder.hpp"
#include "app/screen_steps.hpp"
#include "app/search_screen.hpp"

#include "platform/text.hpp"
#include "render/view/map_view.hpp"

namespace tevo {

namespace {
constexpr int32_t kFreeViewSetting = 1;
} // namespace

void buildScreens(AppState& app) {
    app.screens = std::make_unique<ScreenSet>();
    ScreenSet& screens = *app.screens;
    installCommands(app, screens);
    const std::string menu = app.pathOf(toNarrow(app.layout.menu));
    buildMenus(screens, app.screen, app.programFolder, menu,
               ControlRect{0, 0, app.screenWidth, app.screenHeight});
    attachSearchScreen(app);
    screens.currentScreen = ScreenNavigation;
    // The return button shows only while the user browses the map.
    app.loop.returnButtonExists = screens.returnButtonState() != ReturnButton::Absent;
    screens.hideReturnButton();
}

void applyStoredFreeView(AppState& app) {
    if (!app.mapView || app.settings.viewto != kFreeViewSetting) return;
    if (!returnButtonHidden(app)) return;
    app.mapView->saveView();
    app.screens->showReturnButton();
    app.mapView->freeSwitch();
}

bool pressCurrentScreen(AppState& app, int32_t x, int32_t y) {
    if (!app.screens) return false;
    cPanel* panel = app.screens->currentPanel();
    return panel != nullptr && panel->press(x, y);
}

void releaseCurrentScreen(AppState& app) {
    if (app.screens) app.screens->releaseControls();
}

bool returnButtonHidden(const AppState& app) {
    return app.screens && app.screens->returnButtonState() == ReturnButton::Hidden;
}

bool returnButtonExists(const AppState& app) {
    return app.screens && app.screens->returnButtonState() != ReturnButton::Absent;
}

void showReturnButton(AppState& app) {
    if (app.screens) app.screens->showReturnButton();
}

void cycleScreens(AppState& app) {
    if (app.screens) app.screens->cycleScreen();
}

bool onNavigationScreen(const AppState& app) {
    return !app.screens || app.screens->currentScreen == ScreenNavigation;
}

} // namespace tevo
