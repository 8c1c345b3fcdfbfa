// A receiver plug-in complete in its exports whose PluginInit fails the way
// a broken library does: BROKEN_INIT_CRASHES dereferences null,
// BROKEN_INIT_HANGS never returns.
#include "plugin-api/plugin_exports.hpp"

#include <unistd.h>

#include <csignal>

int32_t PluginInit(const char16_t*) {
#if defined(BROKEN_INIT_CRASHES)
    std::raise(SIGSEGV);
#elif defined(BROKEN_INIT_HANGS)
    for (;;) pause();
#endif
    return 0;
}

int32_t PluginGetDetails() {
    return tevo::Receiver;
}
int32_t PluginDeInit() {
    return 0;
}
int32_t PluginGetMinimumBytes() {
    return 150;
}
bool PluginDetectReceiver(const uint8_t*, uint32_t) {
    return false;
}
int32_t PluginPushData(const uint8_t*, int32_t) {
    return 0;
}
bool PluginIsPositionUpdated() {
    return false;
}
tevo::GpsData* PluginGetGPSData(tevo::GpsData* out) {
    if (out != nullptr) *out = tevo::GpsData{};
    return out;
}
bool PluginSatellitesUpDated() {
    return false;
}
int32_t PluginGetSSI(tevo::SatelliteInfo* out, int32_t* count) {
    if (out != nullptr)
        for (int32_t i = 0; i < tevo::kSatelliteSlots; ++i) out[i] = tevo::SatelliteInfo{};
    if (count != nullptr) *count = 0;
    return 0;
}
