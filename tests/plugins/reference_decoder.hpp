// An independent reading of NMEA lines by the plug-in's rules, written apart
// from the plug-in: the expected values of the log replays.
#pragma once

#include "plugin-api/plugin_api.hpp"

#include <array>
#include <string>
#include <vector>

namespace tevo::test {

struct ReferenceDecoder {
    GpsData current{};
    bool positionFlag = false;
    bool satelliteFlag = false;
    std::array<SatelliteInfo, kSatelliteSlots> satellites{};
    int stored = 0;
    int inView = 0;
    std::array<int, 12> usedPrn{};

    // Counts for the test's own checks.
    int positionsAnnounced = 0;
    int tablesAnnounced = 0;

    // One line without its LF; CRs anywhere are dropped first.
    void apply(std::string line);
};

} // namespace tevo::test
