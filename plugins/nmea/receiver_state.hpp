// The receiver state behind the exports: pushed bytes, the current fix and
// the satellite table.
#pragma once

#include "plugin-api/front_aligned_buffer.hpp"
#include "plugin-api/plugin_api.hpp"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string_view>

namespace tevo::sentrix {

// Bytes pushed and not yet cut into lines.
inline constexpr int32_t kBufferSize = 16384;
inline constexpr int32_t kUsedSlots = 12;

struct ReceiverState {
    GpsData current{};
    FrontAlignedBuffer<kBufferSize> pending;
    std::atomic<bool> positionUpdated{false};
    std::atomic<bool> satellitesUpdated{false};
    std::array<SatelliteInfo, kSatelliteSlots> satellites{};
    int32_t stored = 0;
    int32_t inView = 0;
    std::array<int32_t, kUsedSlots> usedPrn{};
    // Guards current and satellites, so that the getters on the main thread
    // never copy a record half written by the worker.
    std::mutex lock;
};

// Appends pushed bytes and applies every complete line.
void pushBytes(ReceiverState& state, const uint8_t* data, int32_t n);

// Cuts complete lines out of the buffer and applies each; a line begins anew
// at every '$'.
void splitLines(ReceiverState& state);

// Applies one line (without its line feed) to the state.
void parseSentence(ReceiverState& state, std::string_view line);

// True when the bytes hold the start of a sentence this plug-in reads.
bool detectReceiver(const uint8_t* data, uint32_t length);

} // namespace tevo::sentrix
