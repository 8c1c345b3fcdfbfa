// Shutdown: remember the view, write the settings, release in reverse order.
#include "app/receiver.hpp"
#include "app/startup.hpp"
#include "app/view_steps.hpp"

namespace tevo {

int shutDown(AppState& app) {
    // The view state goes into the settings.
    storeViewState(app);
    // The settings file; a file that cannot be written is skipped.
    if (app.saveSettings) app.settings.write(app.pathOf("config.xml"));
    // The receiver reader first, so no thread is left in a plug-in.
    stopReceiver(app);
    // Then the view and the screens.
    app.mapView.reset();
    app.search.reset();
    app.screens.reset();
    return 0;
}

} // namespace tevo
