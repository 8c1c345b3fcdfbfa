// The Gnss library as the tests see it: loaded from the program folder by
// path, its exports bound by name, its state fresh for every test.
#pragma once

#include "plugin-api/plugin_api.hpp"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tevo::test {

struct GnssLibrary {
    GnssLibrary();
    ~GnssLibrary();
    GnssLibrary(const GnssLibrary&) = delete;
    GnssLibrary& operator=(const GnssLibrary&) = delete;
    bool loaded() const { return handle != nullptr; }

    // Pushes text as bytes.
    void push(std::string_view text) const;
    GpsData gpsData() const;
    // The filled records of the satellite table.
    std::vector<SatelliteInfo> satellites() const;

    void* handle = nullptr;
    PluginInitFn init = nullptr;
    PluginDeInitFn deInit = nullptr;
    PluginGetDetailsFn getDetails = nullptr;
    PluginGetDescFn getDesc = nullptr;
    PluginApi api{};
};

std::string gnssPath();

// "$" + body + "*" + its checksum in two hex digits + CR LF.
std::string sentence(std::string_view body);

} // namespace tevo::test
