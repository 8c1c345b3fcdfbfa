// Every redraw ends here: the current screen, then the flip.
#include "app/guidance_panel.hpp"
#include "app/screen_steps.hpp"
#include "app/startup.hpp"

#include "platform/clock.hpp"

namespace tevo {

namespace {
// The window's colour where nothing else is drawn (0x00BBGGRR).
constexpr uint32_t kBackground = 0x00302820;
} // namespace

void presentScreen(AppState& app) {
    if (!app.screen) return;
    syncRouteButtons(app);
    // The menu screens draw over what is there; the map is not drawn.
    if (!onNavigationScreen(app)) {
        drawCurrentScreen(app);
        SDL_Flip(app.screen);
        return;
    }
    // The map with its draw time and mode, then the controls over it.
    if (app.mapView) {
        app.mapView->drawFrame();
        if (app.screens) updateViewTexts(*app.screens, *app.mapView);
    } else {
        SDL_FillRect(app.screen, nullptr,
                     SDL_MapRGB(app.screen->format, kBackground & 0xFF, (kBackground >> 8) & 0xFF,
                                (kBackground >> 16) & 0xFF));
    }
    drawCurrentScreen(app);
    SDL_Flip(app.screen);
    sleepMs(1);
}

} // namespace tevo
