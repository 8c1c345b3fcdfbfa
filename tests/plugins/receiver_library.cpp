#include "plugins/receiver_library.hpp"

#include <cstdio>
#include <cstring>
#include <dlfcn.h>

namespace tevo::test {

namespace {

template <typename F> void bind(void* handle, F& function, const char* name) {
    function = reinterpret_cast<F>(dlsym(handle, name));
}

} // namespace

ReceiverLibrary::ReceiverLibrary(const std::string& name) {
    const std::string relative = "/Plugins/" + name + "/" + name + ".so";
    handle = dlopen((std::string(TEVO_DIST_DIR) + relative).c_str(), RTLD_NOW | RTLD_LOCAL);
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
    // The path of an installed program, not of the build.
    const std::string installed = "/opt/tevo" + relative;
    init(std::u16string(installed.begin(), installed.end()).c_str());
}

ReceiverLibrary::~ReceiverLibrary() {
    if (handle == nullptr) return;
    deInit();
    dlclose(handle);
}

void ReceiverLibrary::push(std::string_view text) const {
    api.PluginPushData(reinterpret_cast<const uint8_t*>(text.data()),
                       static_cast<int32_t>(text.size()));
}

GpsData ReceiverLibrary::gpsData() const {
    GpsData out{};
    api.PluginGetGPSData(&out);
    return out;
}

std::vector<SatelliteInfo> ReceiverLibrary::satellites() const {
    SatelliteInfo table[kSatelliteSlots];
    int32_t count = 0;
    api.PluginGetSSI(table, &count);
    // As many records as the count says, but never read past the table.
    std::vector<SatelliteInfo> out(table, table + std::clamp(count, 0, kSatelliteSlots));
    out.resize(static_cast<std::size_t>(std::max(count, 0)));
    return out;
}

std::string sentence(std::string_view body) {
    unsigned sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof(tail), "*%02X\r\n", sum);
    return "$" + std::string(body) + tail;
}

void expectSameFix(const GpsData& got, const GpsData& want, std::size_t line) {
    EXPECT_EQ(0, std::memcmp(&got, &want, sizeof(GpsData)))
        << "after line " << line << ": lon " << got.longitude << "/" << want.longitude << " lat "
        << got.latitude << "/" << want.latitude << " alt " << got.altitude << "/" << want.altitude
        << " speed " << got.speed << "/" << want.speed << " fix " << int(got.fix) << "/"
        << int(want.fix) << " dops " << got.pdop << "," << got.hdop << "," << got.vdop << " date "
        << int(got.day) << "." << int(got.month) << "." << got.year << " time " << int(got.hour)
        << ":" << int(got.minute) << ":" << int(got.second);
}

} // namespace tevo::test
