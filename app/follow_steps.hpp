// The steps of the shell that make the view follow the vehicle: the
// demonstration track, the tracks of the view, the replay step and what a
// receiver record does to the view.
#pragma once

#include "app/app_state.hpp"

namespace tevo {

// Reads programFolder + "demo.plt"; when it opens, the program runs in
// demonstration mode.
void readDemoTrack(AppState& app);
// The demonstration track and every track of programFolder + "Tracks/" into
// the view's track list; every frame of the view ends on the screen.
void setUpFollowing(AppState& app);
// Once a second the next point of the demonstration track, unless paused;
// between points the glide of the view goes on.
void replayStep(AppState& app);
// A new receiver record: with a fix the view follows it, without one the view
// is freed where the vehicle was last seen.
void followReceiverRecord(AppState& app, const GpsData& record);
// Between records the glide goes on.
void continueTransition(AppState& app);

} // namespace tevo
