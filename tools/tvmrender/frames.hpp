// A headless window and a map view set up from a program folder as the
// navigator sets it up, and the placing of the view for one frame.
#pragma once

#include "config/screen_xml.hpp"
#include "render/view/map_view.hpp"
#include "tools/tvmrender/options.hpp"

#include <memory>
#include <string>

namespace tevo {

struct RenderSession {
    SDL_Surface* screen = nullptr;
    ResolutionEntry layout;
    std::unique_ptr<MapView> view;
};

// SDL on the dummy driver, a 32-bit surface of the layout's (or the given)
// size, the view with the folder's map, pictures and layout values. False
// with a message when SDL or the map cannot be opened.
bool openSession(const std::string& folder, int32_t width, int32_t height, RenderSession& out);

enum class Mode { Eco, Flat, Raised };
bool modeFromName(const std::string& name, Mode& out);
const char* modeName(Mode mode);

// The fastest route of --route on the folder's road graph, handed to the
// view; `middle` receives its middle point. False with a message when the
// graph cannot be opened or there is no route.
bool loadRoute(const RenderOptions& options, RenderSession& session, float middle[2]);

// Follows (lon, lat) north-up turned by `yaw`, at `mpp` metres per pixel.
void placeView(MapView& view, float lon, float lat, float mpp, Mode mode, float yaw, float tilt);

} // namespace tevo
