// The receiver side of the shell: plug-ins, the receiver reader and the
// receiver step of the main loop.
#pragma once

#include "app/app_state.hpp"
#include "gps/receiver_status.hpp"

namespace tevo {

// Loads the receiver plug-ins from programFolder + "Plugins/".
void loadReceiverPlugins(AppState& app);

// Opens the configured receiver or detects one, and stores the port and rate
// found in the settings.
void startReceiver(AppState& app);

// The receiver step of a main-loop pass.
void receiverStep(AppState& app);

// Stops the reader; the plug-ins stay loaded until the process ends.
void stopReceiver(AppState& app);

// Where positions come from and whether they still come (gps/receiver_status.hpp).
ReceiverStatus receiverStatus(const AppState& app);

} // namespace tevo
