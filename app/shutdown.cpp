// Shutdown: remember the view, write the settings, release in reverse order.
#include "app/receiver.hpp"
#include "app/startup.hpp"

namespace tevo {

int shutDown(AppState& app) {
    // The view state goes into the settings once the map view exists.
    // The settings file; a file that cannot be written is skipped.
    if (app.saveSettings) app.settings.write(app.pathOf("config.xml"));
    // The receiver reader first, so no thread is left in a plug-in.
    stopReceiver(app);
    return 0;
}

} // namespace tevo
