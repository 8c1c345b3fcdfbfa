// Small plug-ins for the host tests, one source built several ways. Each call
// is appended as a line "<name> <call> [<argument>]" to the file named by
// TEVO_PLUGIN_LOG, where <name> is the library's file name from PluginInit.
#include "plugin-api/plugin_exports.hpp"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string gName = "?";

void note(const std::string& call) {
    const char* path = std::getenv("TEVO_PLUGIN_LOG");
    if (path == nullptr) return;
    if (std::FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "%s %s\n", gName.c_str(), call.c_str());
        std::fclose(file);
    }
}

[[maybe_unused]] std::string narrow(const char16_t* text) {
    std::string out;
    for (; text != nullptr && *text != 0; ++text) out += static_cast<char>(*text & 0x7F);
    return out;
}

} // namespace

#ifndef TEST_PLUGIN_NO_INIT
int32_t PluginInit(const char16_t* path) {
    std::string full = narrow(path);
    gName = full.substr(full.rfind('/') + 1);
    note("Init " + full);
    return 0;
}
#endif

int32_t PluginGetDetails() {
    note("GetDetails");
    return TEST_PLUGIN_KIND;
}

int32_t PluginDeInit() {
    note("DeInit");
    return 0;
}

#if TEST_PLUGIN_KIND == 1
#ifndef TEST_PLUGIN_MINIMUM_BYTES
#define TEST_PLUGIN_MINIMUM_BYTES 150
#endif
int32_t PluginGetMinimumBytes() {
    note("GetMinimumBytes");
    return TEST_PLUGIN_MINIMUM_BYTES;
}

// TEST_PLUGIN_ACCEPTS names the text whose presence in a sample makes the
// plug-in recognise it; without it the plug-in recognises nothing.
bool PluginDetectReceiver([[maybe_unused]] const uint8_t* data, uint32_t length) {
    note("DetectReceiver " + std::to_string(length));
#ifdef TEST_PLUGIN_ACCEPTS
    const std::string sample(reinterpret_cast<const char*>(data), length);
    return sample.find(TEST_PLUGIN_ACCEPTS) != std::string::npos;
#else
    return false;
#endif
}

int32_t PluginPushData(const uint8_t*, int32_t) {
    return 0;
}
bool PluginIsPositionUpdated() {
    return false;
}
tevo::GpsData* PluginGetGPSData(tevo::GpsData* out) {
    return out;
}
bool PluginSatellitesUpDated() {
    return false;
}
#ifndef TEST_PLUGIN_NO_SSI
int32_t PluginGetSSI(tevo::SatelliteInfo*, int32_t* count) {
    return *count = 0;
}
#endif
#else
int32_t PluginSetGPSData(tevo::GpsData record) {
    note("SetGPSData " + std::to_string(static_cast<int>(record.latitude)));
    return 0;
}
#endif
