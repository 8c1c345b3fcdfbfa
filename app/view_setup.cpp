// The map view in the start-up and the shutdown.
#include "app/view_steps.hpp"
#include "platform/text.hpp"
#include "render/view/map_view.hpp"

namespace tevo {

namespace {
constexpr int32_t kFreeViewSetting = 1;
} // namespace

void createMapView(AppState& app) {
    app.mapView = std::make_unique<MapView>(app.screen, app.programFolder);
    app.mapView->openMap(toWidePath(app.pathOf("map.tvm")));
    // Tracks join the view here once they are read.
}

void setUpMapView(AppState& app) {
    if (!app.mapView) return;
    MapView& view = *app.mapView;
    const ResolutionEntry& e = app.layout;
    const auto picture = [&](const std::u16string& name) {
        return name.empty() ? std::string() : app.pathOf(toNarrowUnlimited(name));
    };
    // Pointer, compass, overlay positions, POI icons, the fit, perspective.
    if (!e.pointer.empty()) view.overlays().loadPointer(picture(e.pointer));
    if (!e.compass.empty()) view.overlays().loadCompass(picture(e.compass));
    view.setOverlayPositions(e.compascoord[0], e.compascoord[1], e.scalecoord[0], e.scalecoord[1],
                             e.scalelength);
    if (!e.poi.empty()) view.overlays().loadPoiSheet(picture(e.poi), e.poisize[0], e.poisize[1]);
    view.fitToMap();
    view.setProjection(ProjectionPerspective);
    // Where the followed point stands on the screen; the thresholds.
    view.setPointerPositions(e.pointer2Dcoord[0], e.pointer2Dcoord[1], e.pointer3Dcoord[0],
                             e.pointer3Dcoord[1], app.screenHeight);
    // The view of the last run.
    view.applySettings(app.settings);
    // Free or follow. Without a menu there is no return button, so a stored
    // free view stays as it is. Any other setting follows at once, also
    // before the first fix: the view opens on where the vehicle was last
    // seen (not on an older free point), and an exit before a fix keeps
    // the follow view for the next start.
    if (app.settings.viewto == kFreeViewSetting) return;
    if (view.state().followed.isSet()) view.followSwitch();
}

void storeViewState(AppState& app) {
    // A run without a map saw no view, and one that ended while the receiver
    // was sought never applied the stored view: it stays for the next.
    if (app.storedViewApplied && app.mapView && app.mapView->mapOpen())
        app.mapView->storeSettings(app.settings);
}

} // namespace tevo
