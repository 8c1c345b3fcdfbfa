// Start-up, main loop and shutdown, as steps that tests can run one by one.
#pragma once

#include "app/app_state.hpp"

#include <optional>

namespace tevo {

// Runs the start-up steps in order. Returns an exit code when the program
// must end now (another copy runs, SDL or the video mode failed: 1; an end
// requested while the receiver was sought: 0, after shutDown), nothing when
// the main loop is to run.
std::optional<int> startUp(AppState& app, const char* argv0);

// The individual steps, in the order startUp runs them.
std::u16string formatCaption();
bool anotherCopyRuns(const std::u16string& caption);
bool initSdl();
void selectLayout(AppState& app);
void reportLayout(const AppState& app);
bool openWindow(AppState& app);
// A config.xml that cannot be read whole is copied to config.xml.bad first
// (and said so on standard output), since the exit rewrites it.
void loadSettings(AppState& app);
inline constexpr const char* kBrokenSettingsSuffix = ".bad";

// One pass of the main loop: events, then the position step. False once
// quit is set.
bool loopPass(AppState& app);
void runMainLoop(AppState& app);
void handleEvent(AppState& app, const SDL_Event& event);

// Stores the view state, writes config.xml and releases everything in
// reverse order. Returns the exit code (0).
int shutDown(AppState& app);

// Draws the current screen and shows it.
void presentScreen(AppState& app);

} // namespace tevo
