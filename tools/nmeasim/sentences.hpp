// NMEA 0183 sentences as a receiver sends them: one cycle of $GPRMC,
// $GPGGA, $GPGSA and $GPGSV for a position, with checksums.
#pragma once

#include <ctime>
#include <string>

namespace tevo::nmeasim {

struct SimFix {
    double latitude = 0;  // degrees, north positive
    double longitude = 0; // degrees, east positive
    double altitude = 0;  // metres
    double speedKmh = 0;
    double course = 0; // degrees from true north
    std::time_t utc = 0;
    // False: the receiver has lost the fix. The cycle then says so the way
    // receivers do: RMC status V without a position, GGA quality 0, GSA
    // fix mode 1 without satellites in use.
    bool valid = true;
};

// "$" + body + "*" + the XOR of the body's bytes in two hex digits + CR LF.
std::string sentence(const std::string& body);

// One second's sentences. `second` turns the sky slowly.
std::string fixCycle(const SimFix& fix, long second);

} // namespace tevo::nmeasim
