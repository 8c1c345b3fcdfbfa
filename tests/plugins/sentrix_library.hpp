// The Sentrix library as the tests see it: loaded from the program folder by
// path, its exports bound by name, its state fresh for every test.
#pragma once

#include "plugin-api/plugin_api.hpp"

#include <cstdint>
#include <string>
#include <string_view>

namespace tevo::test {

struct SentrixLibrary {
    SentrixLibrary();
    ~SentrixLibrary();
    bool loaded() const { return handle != nullptr; }

    // Pushes text as bytes.
    void push(std::string_view text) const;
    GpsData gpsData() const;

    void* handle = nullptr;
    PluginInitFn init = nullptr;
    PluginDeInitFn deInit = nullptr;
    PluginGetDetailsFn getDetails = nullptr;
    PluginGetDescFn getDesc = nullptr;
    PluginApi api{};
    const char16_t* (*keptPath)() = nullptr;
};

std::string sentrixPath();

} // namespace tevo::test
