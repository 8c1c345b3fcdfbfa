// The demonstration drive and the following of the receiver.
#include "app/follow_steps.hpp"
#include "app/screen_steps.hpp"
#include "app/startup.hpp"

#include "map/track_log.hpp"
#include "platform/text.hpp"

namespace tevo {

namespace {

// A new point or record at most once in this many milliseconds.
constexpr uint32_t kReplayIntervalMs = 1000;

// The view glides until the next record is due.
bool withinInterval(const AppState& app) {
    return SDL_GetTicks() - app.loop.lastReplayTick <= kReplayIntervalMs;
}

} // namespace

void readDemoTrack(AppState& app) {
    readTrack(app.pathOf("demo.plt"), app.demoTrack);
    app.demoMode = app.demoTrack.loaded;
}

void setUpFollowing(AppState& app) {
    if (!app.mapView) return;
    MapView& view = *app.mapView;
    loadTrack(toWidePath(app.pathOf("demo.plt")), view.tracks);
    loadTrackFolder(app.pathOf("Tracks/"), view.tracks);
    view.present = [&app] { presentScreen(app); };
}

void replayStep(AppState& app) {
    if (!app.mapView) return;
    MapView& view = *app.mapView;
    LoopState& loop = app.loop;
    if (!app.paused) {
        if (SDL_GetTicks() - loop.lastReplayTick > kReplayIntervalMs) {
            loop.lastReplayTick = SDL_GetTicks();
            if (view.transitionPending()) view.finishTransition();
            loop.position = nextReplayPoint(app.demoTrack);
            view.updateFromFix(loop.position);
            updatePositionTexts(app, loop.position);
            if (!loop.firstFixSeen) {
                view.followSwitch();
                view.orientation = CourseUp;
                loop.firstFixSeen = true;
            }
            view.startTransition();
        } else if (view.transitionPending()) {
            view.stepTransition();
        }
    }
    view.afterFrameHook = true;
}

void followReceiverRecord(AppState& app, const GpsData& record) {
    if (!app.mapView) return;
    MapView& view = *app.mapView;
    LoopState& loop = app.loop;
    loop.lastReplayTick = SDL_GetTicks();
    if (view.transitionPending()) view.finishTransition();
    if (record.fix != FixNone) {
        view.updateFromFix(record);
        if (!loop.firstFixSeen) {
            // A first fix after the user moved the map brings the view back
            // the way the return button does.
            if (app.viewMovedByUser)
                returnToPosition(app);
            else
                view.followSwitch();
            loop.firstFixSeen = true;
        } else if (loop.freedByNoFix && !app.viewMovedByUser) {
            // The fix is back: so is the view that its loss freed.
            view.followSwitch();
        }
        loop.freedByNoFix = false;
        view.startTransition();
        return;
    }
    // Without a fix the view stays where the vehicle was last seen, or where
    // a later return should go when the user has moved the map.
    if (!view.freeView) loop.freedByNoFix = true;
    view.freeSwitch();
    if (view.followed.isSet()) {
        if (app.viewMovedByUser)
            view.saved.freePoint = view.followed;
        else
            view.freePoint = view.followed;
    }
    view.updateFromFix(record);
    presentScreen(app);
}

void continueTransition(AppState& app) {
    if (app.mapView && app.mapView->transitionPending() && withinInterval(app))
        app.mapView->stepTransition();
}

} // namespace tevo
