// Tick counter and sleeping.
#pragma once

#include <cstdint>

namespace tevo {

// Milliseconds since the program started (SDL_GetTicks once SDL runs).
uint32_t ticks();

void sleepMs(uint32_t milliseconds);

} // namespace tevo
