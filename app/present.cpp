// Every redraw ends here: the current screen, then the flip.
#include "app/startup.hpp"

#include "platform/clock.hpp"

namespace tevo {

namespace {
// The window's colour where nothing else is drawn (0x00BBGGRR).
constexpr uint32_t kBackground = 0x00302820;
} // namespace

void presentScreen(AppState& app) {
    if (!app.screen) return;
    if (app.mapView) {
        app.mapView->drawFrame();
        SDL_Flip(app.screen);
        sleepMs(1);
        return;
    }
    SDL_FillRect(app.screen, nullptr,
                 SDL_MapRGB(app.screen->format, kBackground & 0xFF, (kBackground >> 8) & 0xFF,
                            (kBackground >> 16) & 0xFF));
    SDL_Flip(app.screen);
    sleepMs(1);
}

} // namespace tevo
