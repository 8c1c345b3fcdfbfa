// The steps of the start-up, the main loop and the shutdown that act on the
// screens, the status texts and the splash.
#pragma once

#include "app/app_state.hpp"
#include "app/screen_set.hpp"

#include <string_view>

namespace tevo {

class MapView;

// --- splash (app/splash.cpp)
// The splash picture, drawn and shown, and the status font.
void loadSplash(AppState& app);
// The splash with a progress message and the two maker lines, then the flip.
void showStatusMessage(AppState& app, std::u16string_view message);
// The message shown while the receiver is opened or sought.
std::u16string_view receiverMessage(const AppState& app);

// --- screens (app/screens.cpp)
// "Loading menu...": the screens built from the menu file, the commands
// installed, the map screen current and the return button hidden.
void buildScreens(AppState& app);
// A stored free view shows the return button, so that the user can return.
void applyStoredFreeView(AppState& app);
// A left press offered to the current screen; true when a control took it.
bool pressCurrentScreen(AppState& app, int32_t x, int32_t y);
void releaseCurrentScreen(AppState& app);
// True when a tap on the map is to free the view and show the return button.
bool returnButtonHidden(const AppState& app);
bool returnButtonExists(const AppState& app);
void showReturnButton(AppState& app);
// F4.
void cycleScreens(AppState& app);
bool onNavigationScreen(const AppState& app);

// --- commands (app/commands.cpp)
// Puts the commands into the screens; they act on `app`.
void installCommands(AppState& app, ScreenSet& screens);
void callBackExit(int32_t);
void callBackPlus(int32_t);
void callBackMinus(int32_t);
void callBackNavigation(int32_t);
void callBackMainMenu(int32_t);
void callBackSatellites(int32_t);
void callBackReturnPosition(int32_t);
void callBackRouteHere(int32_t);
void callBackClearRoute(int32_t);
// The search screen (app/search_screen.cpp), when the menu file has one.
void callBackSearch(int32_t);
// The whole map (the Home key's command).
void callBackWholeMap(int32_t);
// What the return button does, for `app`: the view saved when the user began
// to browse, following again, the button hidden and the tap marker gone. A
// first fix after the user moved the map does the same.
void returnToPosition(AppState& app);

// --- status texts (app/status_texts.cpp)
void updatePositionTexts(ScreenSet& screens, const GpsData& record);
void updateSatelliteTexts(ScreenSet& screens, const SatelliteInfo* table, int32_t count);
// The draw time and mode texts from the frame just drawn.
void updateViewTexts(ScreenSet& screens, const MapView& view);
// Degrees, minutes and seconds: 55.7558 gives 55°45'20".
std::u16string formatDegrees(float value);
// The current screen's controls (and the sky view on the satellites screen).
void drawCurrentScreen(AppState& app);
// The shell's record and table reached the status texts.
void updatePositionTexts(AppState& app, const GpsData& record);
void updateSatelliteTexts(AppState& app);

// --- sky view (app/sky_view.cpp)
struct SkyPoint {
    int32_t x = 0;
    int32_t y = 0;
};
// Where a satellite's picture has its top-left corner.
SkyPoint skyPosition(const SatelliteInfo& satellite, const SkyEllipse& sky);
// The signal range of the table: smallest below 100 and largest, never equal.
struct SnrRange {
    int32_t smallest = 100;
    int32_t largest = 0;
};
SnrRange snrRange(const SatelliteInfo* table, int32_t count);
// 140 for the weakest to 255 for the strongest.
int32_t skyOpacity(int32_t snr, const SnrRange& range);
// Draws the satellites over the satellites screen; returns how many were drawn.
int32_t drawSkyView(const ScreenSet& screens);

} // namespace tevo
