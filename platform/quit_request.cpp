#include "platform/quit_request.hpp"

#include "platform/clock.hpp"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

namespace tevo {

namespace {

// Short enough that an end request feels immediate, long enough to cost
// nothing while a port is being listened to.
constexpr uint32_t kSliceMs = 20;

// Lock-free so that the signal handler may set it.
std::atomic<bool> requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);
std::atomic<std::thread::id> windowThread{};

extern "C" void onQuitSignal(int) {
    requested.store(true, std::memory_order_relaxed);
}

// A window close waiting in SDL's queue; only the window's thread may look.
bool windowCloseQueued() {
    if (std::this_thread::get_id() != windowThread.load()) return false;
    if (!SDL_WasInit(SDL_INIT_VIDEO) || SDL_GetVideoSurface() == nullptr) return false;
    SDL_PumpEvents();
    SDL_Event event;
    return SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_QUITMASK) > 0;
}

} // namespace

void watchForQuit() {
    windowThread.store(std::this_thread::get_id());
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

void requestQuit() {
    requested.store(true);
}

bool quitRequested() {
    return requested.load(std::memory_order_relaxed);
}

void clearQuitRequest() {
    requested.store(false);
}

bool sleepUnlessQuit(uint32_t milliseconds) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (windowCloseQueued()) requestQuit();
        if (quitRequested()) return true;
        const auto now = Clock::now();
        if (now >= end) return false;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - now).count();
        sleepMs(static_cast<uint32_t>(std::min<int64_t>(left, kSliceMs)));
    }
}

} // namespace tevo
