// The keys of the map view: zoom, rotation, tilt, projection, orientation.
#include "app/follower.hpp"
#include "app/startup.hpp"
#include "app/view_steps.hpp"
#include "render/view/map_view.hpp"

namespace tevo {

namespace {

constexpr float kRotateStep = 2.0f;
constexpr float kTiltStep = 1.0f;

} // namespace

bool handleViewKey(AppState& app, SDLKey key) {
    if (!app.mapView) return false;
    MapView& view = *app.mapView;
    bool redraw = true;
    switch (key) {
    case SDLK_UP:
    case SDLK_DOWN:
    case SDLK_RIGHT:
    case SDLK_LEFT:
        if (key == SDLK_UP) view.zoomStep(0);
        if (key == SDLK_DOWN) view.zoomStep(1);
        if (key == SDLK_RIGHT) view.rotateBy(kRotateStep);
        if (key == SDLK_LEFT) view.rotateBy(-kRotateStep);
        redraw = !(replayMovesView(app) && view.perspective());
        break;
    case SDLK_F1:
    case SDLK_F2:
        view.tiltBy(key == SDLK_F1 ? kTiltStep : -kTiltStep);
        redraw = !replayMovesView(app);
        break;
    case SDLK_F3:
    case SDLK_F5:
        if (key == SDLK_F3)
            view.cycleProjection();
        else
            view.cycleOrientation();
        redraw = !replayDrives(app);
        break;
    default:
        return false;
    }
    if (redraw) presentScreen(app);
    return true;
}

} // namespace tevo
