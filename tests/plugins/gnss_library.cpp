#include "plugins/gnss_library.hpp"

#include <cstdio>
#include <dlfcn.h>

namespace tevo::test {

namespace {

template <typename F> void bind(void* handle, F& function, const char* name) {
    function = reinterpret_cast<F>(dlsym(handle, name));
}

} // namespace

std::string sentence(std::string_view body) {
    unsigned sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof(tail), "*%02X\r\n", sum);
    return "$" + std::string(body) + tail;
}

std::string gnssPath() {
    return std::string(TEVO_DIST_DIR) + "/Plugins/Gnss/Gnss.so";
}

GnssLibrary::GnssLibrary() {
    handle = dlopen(gnssPath().c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return;
    bind(handle, init, "PluginInit");
    bind(handle, deInit, "PluginDeInit");
    bind(handle, getDetails, "PluginGetDetails");
    bind(handle, getDesc, "PluginGetDesc");
    bind(handle, api.PluginGetMinimumBytes, "PluginGetMinimumBytes");
    bind(handle, api.PluginDetectReceiver, "PluginDetectReceiver");
    bind(handle, api.PluginPushData, "PluginPushData");
    bind(handle, api.PluginIsPositionUpdated, "PluginIsPositionUpdated");
    bind(handle, api.PluginGetGPSData, "PluginGetGPSData");
    bind(handle, api.PluginSatellitesUpDated, "PluginSatellitesUpDated");
    bind(handle, api.PluginGetSSI, "PluginGetSSI");
    init(u"/opt/tevo/Plugins/Gnss/Gnss.so");
}

GnssLibrary::~GnssLibrary() {
    if (handle == nullptr) return;
    deInit();
    dlclose(handle);
}

void GnssLibrary::push(std::string_view text) const {
    api.PluginPushData(reinterpret_cast<const uint8_t*>(text.data()),
                       static_cast<int32_t>(text.size()));
}

GpsData GnssLibrary::gpsData() const {
    GpsData out{};
    api.PluginGetGPSData(&out);
    return out;
}

std::vector<SatelliteInfo> GnssLibrary::satellites() const {
    SatelliteInfo table[kSatelliteSlots];
    int32_t count = 0;
    api.PluginGetSSI(table, &count);
    return std::vector<SatelliteInfo>(table, table + count);
}

} // namespace tevo::test
