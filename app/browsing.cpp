// The user browses the map: a drag or a tap frees the view where it is and
// shows the return button; the whole map is a key or a button away.
#include "app/screen_steps.hpp"
#include "app/startup.hpp"
#include "app/view_steps.hpp"
#include "render/view/map_view.hpp"

namespace tevo {

void beginBrowsing(AppState& app) {
    if (!app.mapView || !app.loop.returnButtonExists) return;
    MapView& view = *app.mapView;
    if (returnButtonHidden(app)) {
        view.saveView();
        showReturnButton(app);
    }
    // Also when the button already shows while the view follows (a stored
    // free view that the first fix made follow): the drag must move the map.
    view.freeInPlace();
    app.viewMovedByUser = true;
}

void showWholeMap(AppState& app) {
    if (!app.mapView) return;
    beginBrowsing(app);
    app.mapView->showWholeMap();
    // From a menu, the map is what the user asked to see.
    if (app.screens) app.screens->showScreen(ScreenNavigation);
    presentScreen(app);
}

} // namespace tevo
