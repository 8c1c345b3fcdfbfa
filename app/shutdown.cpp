// Shutdown: remember the view, write the settings, release in reverse order.
#include "app/receiver.hpp"
#include "app/startup.hpp"

namespace tevo {

int shutDown(AppState& app) {
    // 1. The view state goes into the settings once the map view exists.
    // 2. The settings file; a file that cannot be written is skipped.
    if (app.saveSettings) app.settings.write(app.pathOf("config.xml"));
    // 3. The receiver reader first, so no thread is left in a plug-in.
    stopReceiver(app);
    // 4. Normal end.
    return 0;
}

} // namespace tevo
