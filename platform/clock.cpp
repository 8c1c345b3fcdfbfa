#include "platform/clock.hpp"

#include <SDL.h>

#include <chrono>
#include <thread>

namespace tevo {

uint32_t ticks() {
    if (SDL_WasInit(SDL_INIT_TIMER)) return SDL_GetTicks();
    // Before SDL runs (tools, tests): milliseconds since first use.
    static const auto start = std::chrono::steady_clock::now();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - start)
                                     .count());
}

void sleepMs(uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace tevo
