// What nmeasim sends: positions along a track, or the cycles of a log.
#pragma once

#include "tools/nmeasim/sentences.hpp"

#include <string>
#include <vector>

namespace tevo::nmeasim {

struct TrackPoint {
    double latitude;
    double longitude;
    double altitude; // as the track file gives it
    double days;     // time stamp in days
};

// Reads a .plt track: six header lines, then latitude,longitude,x,altitude,days.
// False when the file cannot be read or holds no point.
bool readTrack(const std::string& path, std::vector<TrackPoint>& points);

// A small loop around a point, for trying without a track file.
std::vector<TrackPoint> builtInLoop();

// The fix at point `index`, with course and speed towards the next point.
SimFix fixAlong(const std::vector<TrackPoint>& points, std::size_t index);

// One burst of a captured log: its lines and the seconds until the next.
struct LogCycle {
    std::string bytes;
    double seconds;
};

// Cuts a log into the bursts a receiver sent each second ('#' lines dropped).
bool readLog(const std::string& path, std::vector<LogCycle>& cycles);

} // namespace tevo::nmeasim
