#include "plugins/sentrix_library.hpp"

#include <dlfcn.h>

namespace tevo::test {

namespace {

template <typename F> void bind(void* handle, F& function, const char* name) {
    function = reinterpret_cast<F>(dlsym(handle, name));
}

} // namespace

std::string sentrixPath() {
    return std::string(TEVO_DIST_DIR) + "/Plugins/Sentrix/Sentrix.so";
}

SentrixLibrary::SentrixLibrary() {
    handle = dlopen(sentrixPath().c_str(), RTLD_NOW | RTLD_LOCAL);
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
    bind(handle, keptPath, "SentrixKeptPath");
    init(u"/opt/tevo/Plugins/Sentrix/Sentrix.so");
}

SentrixLibrary::~SentrixLibrary() {
    if (handle == nullptr) return;
    deInit();
    dlclose(handle);
}

void SentrixLibrary::push(std::string_view text) const {
    api.PluginPushData(reinterpret_cast<const uint8_t*>(text.data()),
                       static_cast<int32_t>(text.size()));
}

GpsData SentrixLibrary::gpsData() const {
    GpsData out{};
    api.PluginGetGPSData(&out);
    return out;
}

} // namespace tevo::test
