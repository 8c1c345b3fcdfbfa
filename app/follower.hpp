// The one follower of the vehicle. Every record, from the demonstration
// drive and from the receiver alike, goes through followRecord in one
// order: a running glide ends, the status texts take the record, the view
// follows the fix (or, without one, is freed where the vehicle was last
// seen), the follower decides between following, the free view and a
// return, and what is due is drawn. Between records the glide goes on, one
// step a pass of the main loop.
#pragma once

#include "app/app_state.hpp"

namespace tevo {

// Reads programFolder + "demo.plt"; when it opens, the program runs in
// demonstration mode.
void readDemoTrack(AppState& app);
// The demonstration track and every track of programFolder + "Tracks/" into
// the view's track list.
void setUpFollowing(AppState& app);

// Where a record comes from. The demonstration drive also turns the view
// course-up with its first point.
enum class RecordSource { Replay, Receiver };
void followRecord(AppState& app, const GpsData& record, RecordSource source);

// The demonstration drive runs (and is not paused): its next frame comes
// within a second by itself.
bool replayDrives(const AppState& app);
// The drive moves the vehicle now: its own frames show what a key changed,
// which need not be drawn at once. A paused drive moves nothing.
bool replayMovesView(const AppState& app);

// Once a second the next point of the demonstration track, unless paused;
// between points the glide goes on.
void replayStep(AppState& app);
// Between receiver records the glide goes on while the interval lasts.
void continueTransition(AppState& app);
// The glide's next step when one is due: its frame on the screen, then the
// pause that spreads the steps over the interval.
void glideStep(AppState& app);

} // namespace tevo
