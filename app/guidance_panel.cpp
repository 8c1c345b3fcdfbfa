#include "app/guidance_panel.hpp"

#include "app/guidance.hpp"
#include "app/route_state.hpp"
#include "app/screen_steps.hpp"
#include "app/startup.hpp"
#include "render/view/map_view.hpp"
#include "ui/picture.hpp"

#include <cstdio>

namespace tevo {

namespace {

constexpr const char* kPlateFile = "pictures/guidance_plate.png";
constexpr const char* kTurnSheetFile = "pictures/turns.png";
// Where the turn picture sits on the plate.
constexpr int32_t kTurnInset = 8;

class cTurnPicture : public cControl {
public:
    cTurnPicture(int32_t x, int32_t y, SDL_Surface* video, const std::string& folder,
                 const int32_t* cell)
        : cControl(x, y, x, y, video), cell_(cell) {
        plate_.load(video, folder + kPlateFile);
        plate_.keyMagenta();
        plate_.x = x;
        plate_.y = y;
        sheet_.load(video, folder + kTurnSheetFile);
        sheet_.keyMagenta();
        // Touches pass through to the map: the rectangle stays empty.
    }

    void draw() override {
        if (*cell_ < 0 || target() == nullptr) return;
        plate_.draw();
        if (!sheet_.loaded()) return;
        SDL_Surface* image = sheet_.image.get();
        SDL_Rect from{static_cast<Sint16>(*cell_ % kTurnColumns * kTurnCell),
                      static_cast<Sint16>(*cell_ / kTurnColumns * kTurnCell), kTurnCell, kTurnCell};
        if (from.x + kTurnCell > image->w || from.y + kTurnCell > image->h) return;
        SDL_Rect to{static_cast<Sint16>(rect_.left + kTurnInset),
                    static_cast<Sint16>(rect_.top + kTurnInset), 0, 0};
        SDL_BlitSurface(image, &from, target(), &to);
    }

private:
    const int32_t* cell_;
    Picture plate_;
    Picture sheet_;
};

void setShown(cControl* control, bool shown) {
    if (control) control->setActive(shown);
}

} // namespace

std::unique_ptr<cControl> makeTurnPicture(int32_t x, int32_t y, SDL_Surface* video,
                                          const std::string& folder, const int32_t* cell) {
    return std::make_unique<cTurnPicture>(x, y, video, folder, cell);
}

void syncRouteButtons(AppState& app) {
    if (!app.screens) return;
    const bool routing = routingAvailable(app);
    const bool marked = app.mapView && app.mapView->overlays().tapMarkerActive();
    setShown(app.screens->controlFor(CommandRouteHere), routing && marked);
    setShown(app.screens->controlFor(CommandClearRoute),
             routing && app.routing->destination.has_value());
    if (routing && app.routing->arrivalUntilTick != 0) refreshGuidance(app);
}

void routeToTapMarker(AppState& app) {
    if (!app.mapView || !routingAvailable(app)) return;
    const ViewPoint p = app.mapView->overlays().tapMapPoint();
    if (!p.isSet() || !app.mapView->overlays().tapMarkerActive()) return;
    float lon = unitsToDegrees(p.x);
    if (lon > 180) lon -= 360;
    setDestination(app, {lon, unitsToDegrees(p.y)});
    returnToPosition(app);
}

void clearRoute(AppState& app) {
    clearDestination(app);
    std::printf("Route cleared\n");
    presentScreen(app);
}

} // namespace tevo
