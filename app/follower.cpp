// The demonstration drive, the following of the receiver and the glide
// between records.
#include "app/follower.hpp"

#include "app/route_state.hpp"

#include "app/screen_steps.hpp"
#include "app/startup.hpp"

#include "map/track_log.hpp"
#include "platform/clock.hpp"
#include "platform/text.hpp"

namespace tevo {

namespace {

// A new point or record at most once in this many milliseconds.
constexpr uint32_t kRecordIntervalMs = 1000;

// The view glides until the next record is due.
bool withinInterval(const AppState& app) {
    return SDL_GetTicks() - app.follow.lastRecordTick <= kRecordIntervalMs;
}

// Without a fix the view stays where the vehicle was last seen, or, when the
// user has moved the map, a later return goes there; one frame shows it.
void loseFix(AppState& app, const GpsData& record) {
    MapView& view = *app.mapView;
    if (!view.state().freeView) app.follow.freedByNoFix = true;
    view.freeSwitch();
    view.freePointToVehicle(app.viewMovedByUser);
    view.updateFromFix(record);
    presentScreen(app);
}

// The view follows the vehicle again: a return button left from a stored
// free view has nothing to return to.
void followVehicle(AppState& app) {
    app.mapView->followSwitch();
    if (app.screens) app.screens->hideReturnButton();
}

// Following, the free view or a return, after a fix.
void decideFollowing(AppState& app, RecordSource source) {
    MapView& view = *app.mapView;
    FollowState& follow = app.follow;
    if (!follow.firstFixSeen) {
        // A first fix after the user moved the map brings the view back the
        // way the return button does.
        if (app.viewMovedByUser)
            returnToPosition(app);
        else
            followVehicle(app);
        if (source == RecordSource::Replay) view.setOrientation(CourseUp);
        follow.firstFixSeen = true;
    } else if (follow.freedByNoFix && !app.viewMovedByUser) {
        // The fix is back: so is the view that its loss freed.
        followVehicle(app);
    }
    follow.freedByNoFix = false;
}

} // namespace

void readDemoTrack(AppState& app) {
    readTrack(app.pathOf("demo.plt"), app.demoTrack);
    app.demoMode = app.demoTrack.loaded;
}

void setUpFollowing(AppState& app) {
    if (!app.mapView) return;
    loadTrack(toWidePath(app.pathOf("demo.plt")), app.mapView->tracks());
    loadTrackFolder(app.pathOf("Tracks/"), app.mapView->tracks());
}

void followRecord(AppState& app, const GpsData& record, RecordSource source) {
    app.follow.lastRecordTick = SDL_GetTicks();
    updatePositionTexts(app, record);
    if (!app.mapView) return;
    MapView& view = *app.mapView;
    if (view.transitionPending()) view.finishTransition();
    if (record.fix == FixNone) {
        loseFix(app, record);
        return;
    }
    view.updateFromFix(record);
    guideRecord(app, record);
    decideFollowing(app, source);
    if (view.startTransition()) presentScreen(app);
}

bool replayDrives(const AppState& app) {
    return app.demoMode && !app.paused;
}

bool replayMovesView(const AppState& app) {
    return replayDrives(app) && app.mapView && app.mapView->state().positionChanged;
}

void replayStep(AppState& app) {
    if (!app.mapView) return;
    MapView& view = *app.mapView;
    if (!app.paused) {
        if (SDL_GetTicks() - app.follow.lastRecordTick > kRecordIntervalMs) {
            app.loop.position = nextReplayPoint(app.demoTrack);
            followRecord(app, app.loop.position, RecordSource::Replay);
        } else if (view.transitionPending()) {
            glideStep(app);
        }
    }
}

void continueTransition(AppState& app) {
    if (app.mapView && app.mapView->transitionPending() && withinInterval(app)) glideStep(app);
}

void glideStep(AppState& app) {
    MapView& view = *app.mapView;
    if (!view.stepTransition()) return;
    presentScreen(app);
    sleepMs(view.stepPause());
}

} // namespace tevo
