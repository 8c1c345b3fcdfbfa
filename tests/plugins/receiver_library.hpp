// A receiver plug-in as the tests see it: loaded from the program folder by
// path, its exports bound by name, its state fresh for every test. The log
// suites replay captured logs through it against a reference reading.
#pragma once

#include "plugin-api/plugin_api.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace tevo::test {

struct ReceiverLibrary {
    // Loads Plugins/<name>/<name>.so of the program folder.
    explicit ReceiverLibrary(const std::string& name);
    ~ReceiverLibrary();
    ReceiverLibrary(const ReceiverLibrary&) = delete;
    ReceiverLibrary& operator=(const ReceiverLibrary&) = delete;
    bool loaded() const { return handle != nullptr; }

    // Pushes text as bytes.
    void push(std::string_view text) const;
    GpsData gpsData() const;
    // The satellite table, as many records as the count says.
    std::vector<SatelliteInfo> satellites() const;

    void* handle = nullptr;
    PluginInitFn init = nullptr;
    PluginDeInitFn deInit = nullptr;
    PluginGetDetailsFn getDetails = nullptr;
    PluginGetDescFn getDesc = nullptr;
    PluginApi api{};
    const char16_t* (*keptPath)() = nullptr; // Sentrix only
};

// "$" + body + "*" + its checksum in two hex digits + CR LF.
std::string sentence(std::string_view body);

// Compares every byte of two records; the message names the line after which
// they differ and the fields a reader looks at first.
void expectSameFix(const GpsData& got, const GpsData& want, std::size_t line);

// Pushes the log in pieces drawn from [1, largest]; after each push hands the
// reference, fed the complete lines pushed so far, and the number of those
// lines to `check`. Stops at the first failure.
template <typename Reference, typename Check>
void replayLog(const ReceiverLibrary& lib, std::string_view log, int largest, unsigned seed,
               Reference& want, Check check) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> size(1, largest);
    std::size_t pushed = 0, applied = 0, lines = 0;
    while (pushed < log.size()) {
        std::size_t n = std::min<std::size_t>(size(random), log.size() - pushed);
        lib.push(log.substr(pushed, n));
        pushed += n;
        for (std::size_t lf; (lf = log.find('\n', applied)) != std::string::npos && lf < pushed;) {
            want.apply(std::string(log.substr(applied, lf - applied)));
            applied = lf + 1;
            ++lines;
        }
        check(lines);
        if (::testing::Test::HasFailure()) return;
    }
}

} // namespace tevo::test
