// Running the real tvmc and reading its maps back with cMapFile.
#pragma once

#include "map/map_objects.hpp"
#include "support/temp_dir.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace tevo::test {

struct RunResult {
    int code = -1;
    std::string out, err;
};

// Runs build/bin/tvmc with the arguments and waits for it.
RunResult runTvmc(const std::vector<std::string>& args);

enum class Kind { Poi, Polyline, Polygon, Upper };

struct MapObject {
    Kind kind = Kind::Poi;
    int32_t type = 0;
    std::vector<MapPoint> points;
    std::u16string name;
    int32_t key = 0;
    uint32_t cellSeconds = 0;
};

struct MapDump {
    bool opened = false;
    bool everyBlockRead = true; // no block failed to read
    std::u16string name;
    std::vector<uint32_t> levels;    // cell sizes, ascending
    std::vector<uint32_t> fileOrder; // cell size of each index block in file order
    bool keysAscend = true;          // within every index block, as stored
    std::vector<MapObject> objects;
    float startRect[4] = {0, 0, 0, 0};
};

// Opens the map and reads every block of every index block.
MapDump dumpMap(const std::string& path);

// The map-unit rectangle of a cell, by the file's arithmetic: f = S / 3600
// as a float, n = trunc(360 / f + 0.5), column = key mod n, row = key div n.
struct CellBox {
    double x0, y0, x1, y1;
};
CellBox cellBox(int32_t key, uint32_t cellSeconds);

// The centre of the points' bounding box.
MapPoint boxCentre(const std::vector<MapPoint>& points);

// Map units of a position, as the compiler rounds them.
MapPoint unitsOf(double lon, double lat);

// The key of the cell holding a position.
int32_t keyOf(double lon, double lat, uint32_t cellSeconds);

} // namespace tevo::test
