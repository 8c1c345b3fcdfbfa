// The steps of the start-up, the main loop and the shutdown that act on the
// map view.
#pragma once

#include "app/app_state.hpp"

namespace tevo {

// "Loading map...": the view with the folder's files, then the map.
void createMapView(AppState& app);
// Pictures, layout values, the fit to the map, the stored view and the
// choice between the free and the follow view.
void setUpMapView(AppState& app);
// Keys of the view; false when the key is not one of them.
bool handleViewKey(AppState& app, SDLKey key);
// Pointer events on the map; false when the event is not one of them.
bool handleViewMouse(AppState& app, const SDL_Event& event);
// A drag or a tap on the map: with a return button, the view is freed where
// it stands (the view of the moment saved for the return) and the button
// shows (app/browsing.cpp).
void beginBrowsing(AppState& app);
// Home and callBackWholeMap: the whole map, flat and north up, as browsing.
void showWholeMap(AppState& app);
// After the position step: the tap marker keeps animating between frames.
void viewAfterPass(AppState& app);
// The view state into the settings, before they are written.
void storeViewState(AppState& app);

} // namespace tevo
