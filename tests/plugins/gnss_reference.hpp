// An independent reading of NMEA lines by the Gnss library's rules for the
// fix (position, time, date, speed, altitude, fix mode, dilutions), written
// apart from the library: the expected values of the log replays.
#pragma once

#include "plugin-api/plugin_api.hpp"

#include <string>

namespace tevo::test {

struct GnssReference {
    GpsData current{};
    bool positionFlag = false;
    int positionsAnnounced = 0;

    // One line without its LF; CRs anywhere are dropped first.
    void apply(std::string line);

private:
    int bestKind = 0; // 1 GGA, 2 GNS, 3 RMC: the best position sentence of late
    long bestKindEpoch = 0;
    int announcedKind = 0;
    long announcedEpoch = 0;
    GpsData lastDate{}; // day, month and year of the last RMC or ZDA
    std::string lastTime;
    long epoch = 0;
    long modeEpoch = -1;
    int bestMode = 0;
};

} // namespace tevo::test
