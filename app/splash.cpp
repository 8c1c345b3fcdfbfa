// The splash picture and the progress messages written on it while the
// program starts.
#include "app/receiver.hpp"
#include "app/screen_steps.hpp"

#include "platform/text.hpp"

#include <SDL.h>

namespace tevo {

namespace {

constexpr int32_t kStatusTextSize = 9;
constexpr const char16_t* kMakerLines[] = {u"Tevo GPS navigator",
                                           u"Map data \u00A9 OpenStreetMap contributors"};
constexpr int32_t kMakerLineY[] = {25, 40};
// Below the message, a line of the status text's size further down.
constexpr int32_t kSourceLineGap = 15;

} // namespace

void loadSplash(AppState& app) {
    // The splash at its corner, shown at once.
    const std::u16string& name = app.layout.splash;
    if (!name.empty()) app.splash.load(app.screen, app.pathOf(toNarrow(name)));
    app.splash.x = app.layout.coord[0];
    app.splash.y = app.layout.coord[1];
    if (app.screen && app.splash.draw()) SDL_Flip(app.screen);
    // White, blended, centred: the x of every status text is its middle.
    app.statusText.openFont(app.screen, app.pathOf("DejaVuSans.ttf"), kStatusTextSize);
    app.statusText.setColour(255, 255, 255);
    app.statusText.setBlended(true);
    app.statusText.setAlignment(TextStyle::kAlignCentre);
}

void showStatusMessage(AppState& app, std::u16string_view message) {
    if (!app.screen) return;
    // The splash, the message (and the receiver's source) and the maker
    // lines, then the flip. Without a splash the window is cleared, or the
    // messages would pile up.
    if (!app.splash.draw())
        SDL_FillRect(app.screen, nullptr, SDL_MapRGB(app.screen->format, 0, 0, 0));
    app.statusText.drawText(message, app.messageOrigin[0], app.messageOrigin[1]);
    // Once found, the receiver's source under the message.
    const std::u16string source = receiverStatus(app).source;
    if (!source.empty())
        app.statusText.drawText(u"GPS: " + source, app.messageOrigin[0],
                                app.messageOrigin[1] + kSourceLineGap);
    for (int i = 0; i < 2; ++i)
        app.statusText.drawText(kMakerLines[i], app.screenWidth / 2, kMakerLineY[i]);
    SDL_Flip(app.screen);
}

std::u16string_view receiverMessage(const AppState& app) {
    const bool configured = app.settings.port != 0 && app.settings.baudrate != 0;
    return configured ? u"Open GPS..." : u"Detecting GPS...";
}

} // namespace tevo
