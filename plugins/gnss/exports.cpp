// The exported functions of the Gnss library. One library serves one
// receiver: the state is created by PluginInit and freed by PluginDeInit.
#include "plugin-api/plugin_exports.hpp"
#include "plugins/gnss/line_parser.hpp"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

using tevo::gnss::GnssState;

// Detection judges this many bytes: more than a second of a receiver's output,
// so that a sample never holds only the GPS part of a multi-system cycle.
constexpr int32_t kMinimumBytes = 1024;
constexpr char16_t kDescription[] = u"Gnss";

std::unique_ptr<GnssState> gState;
// The library's own path as the host gave it, cut to fit the room.
char16_t gPath[tevo::kPluginPathUnits];

// Copies at most kPluginPathUnits - 1 units, never ending inside a surrogate pair.
void keepPath(const char16_t* path) {
    std::size_t n = 0;
    if (path != nullptr) {
        while (n < tevo::kPluginPathUnits - 1 && path[n] != 0) ++n;
        bool cutInsidePair =
            n > 0 && path[n] != 0 && path[n - 1] >= 0xD800 && path[n - 1] <= 0xDBFF;
        if (cutInsidePair) --n;
        std::copy(path, path + n, gPath);
    }
    gPath[n] = 0;
}

} // namespace

int32_t PluginInit(const char16_t* path) {
    keepPath(path);
    gState = std::make_unique<GnssState>();
    return 0;
}

int32_t PluginGetDetails() {
    return tevo::Receiver;
}

int32_t PluginGetDesc(char16_t* out) {
    if (out != nullptr) std::memcpy(out, kDescription, sizeof(kDescription));
    return 0;
}

int32_t PluginGetMinimumBytes() {
    return kMinimumBytes;
}

bool PluginDetectReceiver(const uint8_t* data, uint32_t length) {
    return tevo::gnss::detectReceiver(data, length);
}

int32_t PluginPushData(const uint8_t* data, int32_t length) {
    if (gState) tevo::gnss::pushBytes(*gState, data, length);
    return 0;
}

bool PluginIsPositionUpdated() {
    return gState && gState->positionUpdated.exchange(false);
}

tevo::GpsData* PluginGetGPSData(tevo::GpsData* out) {
    if (out == nullptr) return out;
    if (!gState) {
        *out = tevo::GpsData{};
        return out;
    }
    std::lock_guard<std::mutex> guard(gState->lock);
    *out = gState->current;
    return out;
}

bool PluginSatellitesUpDated() {
    return gState && gState->satellitesUpdated.exchange(false);
}

// The count is the number of records filled (at most 24), not every
// satellite in view: only those records mean anything.
int32_t PluginGetSSI(tevo::SatelliteInfo* out, int32_t* count) {
    int32_t filled = 0;
    if (gState) {
        std::lock_guard<std::mutex> guard(gState->lock);
        if (out != nullptr) std::copy(gState->satellites.begin(), gState->satellites.end(), out);
        filled = gState->satelliteCount;
    } else if (out != nullptr) {
        std::fill(out, out + tevo::kSatelliteSlots, tevo::SatelliteInfo{});
    }
    if (count != nullptr) *count = filled;
    return filled;
}

// PluginPause, PluginRun and PluginStop share one entry that does nothing.
extern "C" int32_t gnssNothing() {
    return 0;
}
int32_t PluginPause() __attribute__((alias("gnssNothing")));
int32_t PluginRun() __attribute__((alias("gnssNothing")));
int32_t PluginStop() __attribute__((alias("gnssNothing")));

int32_t PluginDeInit() {
    gState.reset();
    gPath[0] = 0;
    return 0;
}
