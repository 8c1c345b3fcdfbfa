// Track files (.plt): six header lines, then one point a line with latitude,
// longitude, an unused field, altitude and the time in days. A track is read
// into a TrackLog, which the demonstration drive replays one point at a time,
// and turned into polylines named "Track" that the map view draws.
#pragma once

#include "map/map_objects.hpp"
#include "plugin-api/plugin_api.hpp"

#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tevo {

// Lines before the first point of a .plt file.
inline constexpr int kTrackHeaderLines = 6;

// The points of one file and the state of reading and replaying them.
struct TrackLog {
    // Longitude, latitude, altitude, speed (km/h) and fix; every other field 0.
    std::vector<GpsData> points;
    bool loaded = false; // the file could be opened
    // The point that the speed of the next point is measured from.
    float previousLongitude = 0;
    float previousLatitude = 0;
    double previousTime = 0;   // days; 0: no point with a time yet
    uint32_t readPosition = 0; // the next point to hand out
};

// Reads a track file into `log`, appending to its points. False when the file
// cannot be opened or is not a regular file. Lines that are not points (binary
// junk, a latitude or longitude that is not a number) are skipped.
bool readTrack(const std::string& path, TrackLog& log);

// The same over a stream that is already open (the header lines included).
void readTrackLines(std::istream& in, TrackLog& log);

// Appends the point of one line (without its LF) to the log, unless the line
// is empty or no point. Exposed for the tests of the field rules.
void readTrackLine(std::string_view line, TrackLog& log);

// The point at the read position; after the last point the first again. An
// empty log gives an all-zero record.
GpsData nextReplayPoint(TrackLog& log);

// The point at the read position into `point`; false after the last point.
bool nextPoint(TrackLog& log, GpsData& point);

// A track point in map units: west longitudes count from 180 to 360 degrees,
// as in the map file.
MapPoint trackMapPoint(float longitude, float latitude);

// The polylines of a log: usually one; a track that crosses the 0/360 degree
// line is cut there into pieces that each lie on the map. A log without points
// gives one polyline without points.
std::vector<std::unique_ptr<cPolyLine>> buildTrackObjects(const TrackLog& log);

// Removes the points that lie less than one map unit from the straight line
// through their neighbours.
void thinTrack(cPolyLine& track);

// Reads a track file and appends its polylines to `tracks`. False, with nothing
// appended, when the file cannot be opened. The wide path is toWidePath's.
bool loadTrack(std::u16string_view path, cPtrArray<cPolyLine>& tracks);
bool loadTrackFile(const std::string& path, cPtrArray<cPolyLine>& tracks);

// Loads every *.plt file of a folder, in name order; names that begin with a
// dot and folders are left out. Always true.
bool loadTrackFolder(const std::string& folder, cPtrArray<cPolyLine>& tracks);

} // namespace tevo
