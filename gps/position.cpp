#include "gps/position.hpp"

#include "platform/clock.hpp"

#include <algorithm>

namespace tevo {

namespace {

constexpr uint32_t kPollMs = 1;
constexpr uint32_t kShortBacklogMs = 10;

} // namespace

cPosition::cPosition()
    : batch(std::make_unique<std::array<uint8_t, kBatchSize>>()),
      port(std::make_unique<cSerialPort>()) {}

cPosition::~cPosition() {
    // The worker leaves run (never inside the plug-in or takeBytes) before
    // the port and the batch go.
    halt();
    port.reset();
    batch.reset();
}

void cPosition::start() {
    stop = false;
    resume();
}

int cPosition::run() {
    while (!stop) {
        // Wait for a batch worth pushing.
        sleepMs(kPollMs);
        int32_t n = port->count();
        if (n < kMinimumBatch) {
            sleepMs(kShortBacklogMs);
            continue;
        }
        // A backlog larger than the batch goes in several pushes.
        n = std::min(n, kBatchSize);
        int32_t taken = port->takeBytes(n, batch->data());
        if (taken != 0 && api.PluginPushData != nullptr) api.PluginPushData(batch->data(), taken);
    }
    return 0;
}

} // namespace tevo
