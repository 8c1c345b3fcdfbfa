// Requests to end the program that arrive while it is busy: SIGTERM and
// SIGINT at any time, and a window close seen during a long wait of the
// start-up. Long waits sleep through sleepUnlessQuit so that they end early.
#pragma once

#include <cstdint>

namespace tevo {

// Makes SIGTERM and SIGINT set the request instead of ending the process at
// once, and lets sleepUnlessQuit look for window closes when called on this
// thread (the one that runs the window). Call before SDL starts: SDL then
// leaves these signals to us.
void watchForQuit();

void requestQuit();
// True once an end was requested. Safe on any thread.
bool quitRequested();
// Forgets a request (a new start in the same process).
void clearQuitRequest();

// Sleeps `milliseconds` in short slices and returns early once an end is
// requested. On the thread that called watchForQuit it also looks in SDL's
// event queue for a window close, which it leaves there for the main loop.
// True when it ended early.
bool sleepUnlessQuit(uint32_t milliseconds);

} // namespace tevo
