// The exports of a receiver plug-in, written once for every receiver plug-in.
// A plug-in describes itself in a small struct and stamps the exports out
// with TEVO_RECEIVER_PLUGIN_EXPORTS(ThatStruct) in one of its sources:
//
//   struct Plugin {
//       using State = ...;  // current, positionUpdated, satellitesUpdated,
//                           // satellites and lock, as the getters read them
//       static constexpr int32_t kMinimumBytes = ...;
//       static constexpr char16_t kDescription[] = u"...";
//       static bool detect(const uint8_t* data, uint32_t length);
//       static void push(State& state, const uint8_t* data, int32_t length);
//       static int32_t satelliteCount(const State& state); // PluginGetSSI's count
//   };
//
// One library serves one receiver: the state is created by PluginInit and
// freed by PluginDeInit.
#pragma once

#include "plugin-api/plugin_exports.hpp"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>

namespace tevo {

template <typename Plugin> struct ReceiverExports {
    using State = typename Plugin::State;

    static inline std::unique_ptr<State> state;
    // The library's own path as the host gave it, cut to fit the room.
    static inline char16_t path[kPluginPathUnits];

    // Copies at most kPluginPathUnits - 1 units, never ending inside a surrogate pair.
    static void keepPath(const char16_t* given) {
        std::size_t n = 0;
        if (given != nullptr) {
            while (n < kPluginPathUnits - 1 && given[n] != 0) ++n;
            const bool cutInsidePair =
                n > 0 && given[n] != 0 && given[n - 1] >= 0xD800 && given[n - 1] <= 0xDBFF;
            if (cutInsidePair) --n;
            std::copy(given, given + n, path);
        }
        path[n] = 0;
    }

    static int32_t init(const char16_t* given) {
        keepPath(given);
        state = std::make_unique<State>();
        return 0;
    }

    static int32_t describe(char16_t* out) {
        if (out != nullptr) std::memcpy(out, Plugin::kDescription, sizeof(Plugin::kDescription));
        return 0;
    }

    static int32_t push(const uint8_t* data, int32_t length) {
        if (state) Plugin::push(*state, data, length);
        return 0;
    }

    static bool positionUpdated() { return state && state->positionUpdated.exchange(false); }

    static GpsData* gpsData(GpsData* out) {
        if (out == nullptr) return out;
        if (!state) {
            *out = GpsData{};
            return out;
        }
        std::lock_guard<std::mutex> guard(state->lock);
        *out = state->current;
        return out;
    }

    static bool satellitesUpdated() { return state && state->satellitesUpdated.exchange(false); }

    static int32_t satellites(SatelliteInfo* out, int32_t* count) {
        int32_t reported = 0;
        if (state) {
            std::lock_guard<std::mutex> guard(state->lock);
            if (out != nullptr) std::copy(state->satellites.begin(), state->satellites.end(), out);
            reported = Plugin::satelliteCount(*state);
        } else if (out != nullptr) {
            std::fill(out, out + kSatelliteSlots, SatelliteInfo{});
        }
        if (count != nullptr) *count = reported;
        return reported;
    }

    static int32_t deInit() {
        state.reset();
        path[0] = 0;
        return 0;
    }
};

} // namespace tevo

// Defines every export of a receiver plug-in over ReceiverExports<Plugin>.
// PluginPause, PluginRun and PluginStop share one entry that does nothing.
#define TEVO_RECEIVER_PLUGIN_EXPORTS(Plugin)                                                       \
    int32_t PluginInit(const char16_t* path) {                                                     \
        return ::tevo::ReceiverExports<Plugin>::init(path);                                        \
    }                                                                                              \
    int32_t PluginGetDetails() {                                                                   \
        return ::tevo::Receiver;                                                                   \
    }                                                                                              \
    int32_t PluginGetDesc(char16_t* out) {                                                         \
        return ::tevo::ReceiverExports<Plugin>::describe(out);                                     \
    }                                                                                              \
    int32_t PluginGetMinimumBytes() {                                                              \
        return Plugin::kMinimumBytes;                                                              \
    }                                                                                              \
    bool PluginDetectReceiver(const uint8_t* data, uint32_t length) {                              \
        return Plugin::detect(data, length);                                                       \
    }                                                                                              \
    int32_t PluginPushData(const uint8_t* data, int32_t length) {                                  \
        return ::tevo::ReceiverExports<Plugin>::push(data, length);                                \
    }                                                                                              \
    bool PluginIsPositionUpdated() {                                                               \
        return ::tevo::ReceiverExports<Plugin>::positionUpdated();                                 \
    }                                                                                              \
    ::tevo::GpsData* PluginGetGPSData(::tevo::GpsData* out) {                                      \
        return ::tevo::ReceiverExports<Plugin>::gpsData(out);                                      \
    }                                                                                              \
    bool PluginSatellitesUpDated() {                                                               \
        return ::tevo::ReceiverExports<Plugin>::satellitesUpdated();                               \
    }                                                                                              \
    int32_t PluginGetSSI(::tevo::SatelliteInfo* out, int32_t* count) {                             \
        return ::tevo::ReceiverExports<Plugin>::satellites(out, count);                            \
    }                                                                                              \
    extern "C" int32_t tevoPluginDoesNothing() {                                                   \
        return 0;                                                                                  \
    }                                                                                              \
    int32_t PluginPause() __attribute__((alias("tevoPluginDoesNothing")));                         \
    int32_t PluginRun() __attribute__((alias("tevoPluginDoesNothing")));                           \
    int32_t PluginStop() __attribute__((alias("tevoPluginDoesNothing")));                          \
    int32_t PluginDeInit() {                                                                       \
        return ::tevo::ReceiverExports<Plugin>::deInit();                                          \
    }
