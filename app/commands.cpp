// The commands that buttons run. They are plain functions of the
// control's argument, so they reach the program through the state they were
// installed for.
#include "app/screen_steps.hpp"
#include "app/search_screen.hpp"
#include "app/startup.hpp"
#include "app/view_steps.hpp"

#include "app/guidance_panel.hpp"
#include "render/view/map_view.hpp"

namespace tevo {

namespace {

AppState* commandTarget = nullptr;

ScreenSet* screens() {
    return commandTarget ? commandTarget->screens.get() : nullptr;
}

MapView* view() {
    return commandTarget ? commandTarget->mapView.get() : nullptr;
}

} // namespace

void installCommands(AppState& app, ScreenSet& set) {
    commandTarget = &app;
    set.commands = {callBackExit,           callBackPlus,      callBackMinus,
                    callBackNavigation,     callBackMainMenu,  callBackSatellites,
                    callBackReturnPosition, callBackSearch,    callBackWholeMap,
                    callBackRouteHere,      callBackClearRoute};
}

void callBackExit(int32_t) {
    if (commandTarget) commandTarget->quit = 1;
}

void callBackPlus(int32_t) {
    if (MapView* v = view()) v->zoomStep(0);
    if (commandTarget) presentScreen(*commandTarget);
}

void callBackMinus(int32_t) {
    if (MapView* v = view()) v->zoomStep(1);
    if (commandTarget) presentScreen(*commandTarget);
}

// The screen commands do not redraw: the touch that ran them does.
void callBackNavigation(int32_t) {
    if (ScreenSet* s = screens()) s->showScreen(ScreenNavigation);
}

void callBackMainMenu(int32_t) {
    if (ScreenSet* s = screens()) s->showScreen(ScreenMainMenu);
}

void callBackSatellites(int32_t) {
    if (ScreenSet* s = screens()) s->showScreen(ScreenSatellites);
}

void callBackSearch(int32_t) {
    if (commandTarget) openSearchScreen(*commandTarget);
}

void callBackReturnPosition(int32_t) {
    if (commandTarget) returnToPosition(*commandTarget);
}

void callBackWholeMap(int32_t) {
    if (commandTarget) showWholeMap(*commandTarget);
}

void callBackRouteHere(int32_t) {
    if (commandTarget) routeToTapMarker(*commandTarget);
}

void callBackClearRoute(int32_t) {
    if (commandTarget) clearRoute(*commandTarget);
}

void returnToPosition(AppState& app) {
    // The user no longer browses: the tap marker goes and the button hides.
    app.viewMovedByUser = false;
    MapView* v = app.mapView.get();
    if (v) v->clearTapMarker();
    if (app.screens) app.screens->hideReturnButton();
    // The view as it was when browsing began, following again; but only a
    // vehicle that was seen: following no position would leave the map.
    if (v) {
        v->restoreView();
        if (v->state().followed.isSet()) v->followSwitch();
    }
    presentScreen(app);
}

} // namespace tevo
