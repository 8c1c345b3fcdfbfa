// The guidance panel on the map screen and the two route buttons: the
// panel's picture is a control of its own (a label naming @NEXTTURN@ in the
// menu file), its texts are labels bound to the guidance tokens.
#pragma once

#include "app/app_state.hpp"
#include "ui/control.hpp"

#include <memory>
#include <string>

namespace tevo {

// The panel's plate at (x, y) with the next turn's picture on it, drawn
// while `cell` (owned by the screens) is a cell of the turn sheet.
std::unique_ptr<cControl> makeTurnPicture(int32_t x, int32_t y, SDL_Surface* video,
                                          const std::string& programFolder, const int32_t* cell);

// "Route here" shows while a tap marker is set and a road graph is open;
// "Clear route" while there is a destination.
void syncRouteButtons(AppState& app);
// The tap marker's place becomes the destination; the view follows the
// vehicle again.
void routeToTapMarker(AppState& app);
void clearRoute(AppState& app);

} // namespace tevo
