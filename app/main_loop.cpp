// The main loop: events first, then the position step, until quit is set.
#include "app/fix_report.hpp"
#include "app/follower.hpp"
#include "app/receiver.hpp"
#include "app/screen_steps.hpp"
#include "app/search_screen.hpp"
#include "app/startup.hpp"
#include "app/view_steps.hpp"

#include "platform/clock.hpp"
#include "platform/quit_request.hpp"

namespace tevo {

namespace {

void handleKey(AppState& app, SDLKey key) {
    switch (key) {
    case SDLK_SPACE:
        app.paused = !app.paused;
        if (!app.demoMode) presentScreen(app);
        break;
    case SDLK_F4:
        cycleScreens(app);
        // A running drive shows the screen with its next frame; a paused
        // one draws none.
        if (!replayDrives(app)) presentScreen(app);
        break;
    default:
        // Zoom, rotation, tilt, projection and orientation act on the view.
        handleViewKey(app, key);
        break;
    }
}

} // namespace

void handleEvent(AppState& app, const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        app.quit = 1;
        break;
    case SDL_KEYDOWN:
        // The search screen's field takes what the keys type.
        if (!handleSearchKey(app, event.key.keysym)) handleKey(app, event.key.keysym.sym);
        break;
    case SDL_VIDEOEXPOSE:
        presentScreen(app);
        break;
    default:
        // Touches and drags go to the controls and the map view.
        handleViewMouse(app, event);
        break;
    }
}

bool loopPass(AppState& app) {
    // Events, with a millisecond's sleep before each poll and each event.
    sleepMs(1);
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        sleepMs(1);
        handleEvent(app, event);
    }
    // The next position: the replay or the receiver.
    if (app.demoMode)
        replayStep(app);
    else
        receiverStep(app);
    updateFixReport(app);
    viewAfterPass(app);
    // Go on while nobody asked to quit; SIGTERM and SIGINT ask too.
    if (quitRequested()) app.quit = 1;
    return app.quit == 0;
}

void runMainLoop(AppState& app) {
    while (app.quit == 0 && loopPass(app)) {}
}

} // namespace tevo
